// The HID interfaces a device-information set lists, walked as callers of
// the device-setup services walk them: enumerate, ask the detail's size,
// fetch the detail with its device record. For the tests and probes that
// need the interfaces present but do not test the walk itself.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "hid/service_table.h"

namespace lumetra::test {

// The HID device interface class, {4D1E55B2-F16F-11CF-88CB-001111000030}.
inline constexpr GUID kHidInterfaceClass = {
    0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

struct ScannedInterface {
  SP_DEVICE_INTERFACE_DATA record{};
  DWORD dev_inst = 0;
  std::string path;  // empty when the detail could not be had
};

// Every interface of `set` in the class, in enumeration order, up to the
// index the enumeration refuses; the error of that refusal goes to
// *end_error when asked for.
inline std::vector<ScannedInterface> ScanInterfaces(const hid::ServiceTable& services, HDEVINFO set,
                                                    const GUID& interface_class = kHidInterfaceClass,
                                                    DWORD* end_error = nullptr) {
  std::vector<ScannedInterface> found;
  for (DWORD n = 0;; ++n) {
    ScannedInterface scanned;
    scanned.record.cbSize = sizeof scanned.record;
    if (!services.setup.SetupDiEnumDeviceInterfaces(set, nullptr, &interface_class, n, &scanned.record)) {
      if (end_error != nullptr) *end_error = services.file.GetLastError();
      return found;
    }
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    DWORD needed = 0;
    services.setup.SetupDiGetDeviceInterfaceDetailA(set, &scanned.record, nullptr, 0, &needed, &device);
    std::vector<std::byte> buffer(std::max<std::size_t>(needed, sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)));
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    if (services.setup.SetupDiGetDeviceInterfaceDetailA(set, &scanned.record, detail, static_cast<DWORD>(buffer.size()),
                                                        nullptr, &device)) {
      scanned.path = detail->DevicePath;
    }
    scanned.dev_inst = device.DevInst;
    found.push_back(scanned);
  }
}

// The same over a set of the interfaces present now, made and destroyed here.
inline std::vector<ScannedInterface> ScanPresentInterfaces(const hid::ServiceTable& services,
                                                           const GUID& interface_class = kHidInterfaceClass) {
  HDEVINFO set =
      services.setup.SetupDiGetClassDevsA(&interface_class, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  if (set == INVALID_HANDLE_VALUE) return {};
  std::vector<ScannedInterface> found = ScanInterfaces(services, set, interface_class);
  services.setup.SetupDiDestroyDeviceInfoList(set);
  return found;
}

}  // namespace lumetra::test
