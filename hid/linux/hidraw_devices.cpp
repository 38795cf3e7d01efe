#include "hid/linux/hidraw_devices.h"

#include <fcntl.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "hid/linux/device_identity.h"

namespace hid::linux_backend {
namespace {

// The kernel caps report descriptors at 4096 bytes; anything longer than
// this is not a descriptor.
constexpr std::size_t kMaxDescriptorFileSize = 64 * 1024;

}  // namespace

udev_device* HidParent(const UdevApi& api, udev_device* hidraw) {
  return api.udev_device_get_parent_with_subsystem_devtype(hidraw, "hid", nullptr);
}

udev_device* UsbDeviceParent(const UdevApi& api, udev_device* hidraw) {
  return api.udev_device_get_parent_with_subsystem_devtype(hidraw, "usb", "usb_device");
}

udev_device* UsbInterfaceParent(const UdevApi& api, udev_device* hidraw) {
  return api.udev_device_get_parent_with_subsystem_devtype(hidraw, "usb", "usb_interface");
}

std::string Attribute(const UdevApi& api, udev_device* device, const char* name) {
  if (device == nullptr) return {};
  const char* value = api.udev_device_get_sysattr_value(device, name);
  std::string text = value != nullptr ? value : "";
  while (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

std::string Property(const UdevApi& api, udev_device* device, const char* name) {
  if (device == nullptr) return {};
  const char* value = api.udev_device_get_property_value(device, name);
  return value != nullptr ? value : "";
}

std::vector<UdevDevice> PresentHidrawDevices(const UdevApi& api, udev* context) {
  std::vector<UdevDevice> devices;
  udev_enumerate* enumerate = api.udev_enumerate_new(context);
  if (enumerate == nullptr) return devices;
  if (api.udev_enumerate_add_match_subsystem(enumerate, "hidraw") >= 0 &&
      api.udev_enumerate_scan_devices(enumerate) >= 0) {
    for (udev_list_entry* entry = api.udev_enumerate_get_list_entry(enumerate); entry != nullptr;
         entry = api.udev_list_entry_get_next(entry)) {
      const char* syspath = api.udev_list_entry_get_name(entry);
      if (syspath == nullptr) continue;
      UdevDevice device(&api, api.udev_device_new_from_syspath(context, syspath));
      if (device && api.udev_device_get_devnode(device.get()) != nullptr) devices.push_back(std::move(device));
    }
  }
  api.udev_enumerate_unref(enumerate);
  return devices;
}

UdevDevice HidrawDeviceByNode(const UdevApi& api, udev* context, const std::string& path) {
  for (UdevDevice& device : PresentHidrawDevices(api, context)) {
    const char* node = api.udev_device_get_devnode(device.get());
    if (node != nullptr && path == node) return std::move(device);
    for (udev_list_entry* link = api.udev_device_get_devlinks_list_entry(device.get()); link != nullptr;
         link = api.udev_list_entry_get_next(link)) {
      const char* name = api.udev_list_entry_get_name(link);
      if (name != nullptr && path == name) return std::move(device);
    }
  }
  return {};
}

UdevDevice DeviceBySyspath(const UdevApi& api, udev* context, const std::string& syspath) {
  if (syspath.empty()) return {};
  UdevDevice device(&api, api.udev_device_new_from_syspath(context, syspath.c_str()));
  // A removed device's directory is gone; a device re-added under the same
  // path would carry another kernel name, so the path alone is enough.
  if (device && access(syspath.c_str(), F_OK) != 0) return {};
  return device;
}

std::uint32_t DevInstOf(const UdevApi& api, udev_device* hidraw) {
  std::string identity;
  const char* syspath = api.udev_device_get_syspath(hidraw);
  identity += syspath != nullptr ? syspath : "";
  identity += '\n';
  const dev_t number = api.udev_device_get_devnum(hidraw);
  identity += std::to_string(major(number)) + ":" + std::to_string(minor(number));
  identity += '\n';
  udev_device* usb = UsbDeviceParent(api, hidraw);
  identity += Attribute(api, usb, "busnum") + ":" + Attribute(api, usb, "devnum");
  return DeviceInstanceKey(identity);
}

std::optional<std::vector<std::uint8_t>> ReportDescriptorBytes(const UdevApi& api, udev_device* hidraw) {
  udev_device* hid = HidParent(api, hidraw);
  if (hid == nullptr) return std::nullopt;
  const char* syspath = api.udev_device_get_syspath(hid);
  if (syspath == nullptr) return std::nullopt;
  const std::string file = std::string(syspath) + "/report_descriptor";
  const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  std::uint8_t chunk[4096];
  for (;;) {
    const ssize_t got = read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      if (got < 0) bytes.clear();
      break;
    }
    bytes.insert(bytes.end(), chunk, chunk + got);
    if (bytes.size() > kMaxDescriptorFileSize) {
      bytes.clear();
      break;
    }
  }
  close(fd);
  if (bytes.empty()) return std::nullopt;
  return bytes;
}

}  // namespace hid::linux_backend
