// What the Linux services read about one hidraw node through udev: its HID
// and USB parents, the report descriptor, and the key that tells one plug-in
// of a device from the next.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "hid/linux/udev_library.h"

namespace hid::linux_backend {

// An owned udev device reference.
class UdevDevice {
 public:
  UdevDevice() = default;
  UdevDevice(const UdevApi* api, udev_device* device) : api_(api), device_(device) {}
  UdevDevice(UdevDevice&& other) noexcept : api_(other.api_), device_(std::exchange(other.device_, nullptr)) {}
  UdevDevice& operator=(UdevDevice&& other) noexcept {
    if (this != &other) {
      Reset();
      api_ = other.api_;
      device_ = std::exchange(other.device_, nullptr);
    }
    return *this;
  }
  UdevDevice(const UdevDevice&) = delete;
  UdevDevice& operator=(const UdevDevice&) = delete;
  ~UdevDevice() { Reset(); }

  udev_device* get() const { return device_; }
  explicit operator bool() const { return device_ != nullptr; }

 private:
  void Reset() {
    if (device_ != nullptr) api_->udev_device_unref(device_);
    device_ = nullptr;
  }
  const UdevApi* api_ = nullptr;
  udev_device* device_ = nullptr;
};

// The parents of a hidraw device; borrowed from it, not to be released.
udev_device* HidParent(const UdevApi& api, udev_device* hidraw);
udev_device* UsbDeviceParent(const UdevApi& api, udev_device* hidraw);
udev_device* UsbInterfaceParent(const UdevApi& api, udev_device* hidraw);

// A sysfs attribute or property as text; empty when absent.
std::string Attribute(const UdevApi& api, udev_device* device, const char* name);
std::string Property(const UdevApi& api, udev_device* device, const char* name);

// Every present hidraw device that has a device node, in udev's order. The
// devices are made from `context` and must go before it.
std::vector<UdevDevice> PresentHidrawDevices(const UdevApi& api, udev* context);

// The hidraw device whose node (or one of its links) is this path.
UdevDevice HidrawDeviceByNode(const UdevApi& api, udev* context, const std::string& path);
UdevDevice DeviceBySyspath(const UdevApi& api, udev* context, const std::string& syspath);

// The device-node key (see the report: sysfs path, USB bus address and
// device number together). Equal across scans while the device stays
// plugged in; a replugged device has a new HID sysfs name and gets another.
std::uint32_t DevInstOf(const UdevApi& api, udev_device* hidraw);

// The HID parent's binary report_descriptor attribute, read as a file
// (udev's attribute reader stops at the first zero byte).
std::optional<std::vector<std::uint8_t>> ReportDescriptorBytes(const UdevApi& api, udev_device* hidraw);

}  // namespace hid::linux_backend
