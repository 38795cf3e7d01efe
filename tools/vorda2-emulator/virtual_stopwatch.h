// The virtual VORDA-2 as it presents itself on the USB bus: the one
// description the emulator plugs in and the Linux backend's tests use.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/vorda2-emulator/virtual_hidraw_linux.h"

namespace lumetra::emulator {

// Vendor page 0xFF00, usage 1; an unnumbered 10-byte input report and a
// 1-byte output report.
extern const std::vector<std::uint8_t> kStopwatchReportDescriptor;

// USB 04d8:f67a, release 01.02, with the stopwatch's product string and,
// unless asked otherwise, its manufacturer string. The kernel names the HID
// device (HID_NAME) after both, "manufacturer product"; without a
// manufacturer string the name is the product string alone, which is what a
// reader of HID_NAME (Wine's HID bus) then reports as the product.
virtual_hid::HidDeviceSpec StopwatchSpec(bool with_manufacturer = true);

}  // namespace lumetra::emulator
