#include "tools/vorda2-emulator/virtual_stopwatch.h"

namespace lumetra::emulator {

const std::vector<std::uint8_t> kStopwatchReportDescriptor = {
    0x06, 0x00, 0xFF,  // Usage Page (vendor 0xFF00)
    0x09, 0x01,        // Usage (1)
    0xA1, 0x01,        // Collection (Application)
    0x19, 0x01, 0x29, 0x08, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x0A, 0x81, 0x02,  // 10 x 8 bits, Input
    0x19, 0x01, 0x29, 0x08, 0x95, 0x01, 0x91, 0x02,                                            // 1 x 8 bits, Output
    0xC0,
};

virtual_hid::HidDeviceSpec StopwatchSpec(bool with_manufacturer) {
  virtual_hid::HidDeviceSpec spec;
  spec.vendor = 0x04D8;
  spec.product = 0xF67A;
  spec.version = 0x0102;
  spec.product_string = "STOP-WATCH \"VORDA-2\"";
  spec.hid_name = spec.product_string;
  if (with_manufacturer) {
    spec.manufacturer = "Microchip Technology Inc.";
    spec.hid_name = spec.manufacturer + " " + spec.product_string;
  }
  spec.report_descriptor = kStopwatchReportDescriptor;
  return spec;
}

}  // namespace lumetra::emulator
