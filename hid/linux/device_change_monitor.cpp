// Device-change notices from udev: the "udev" netlink group, limited to
// hidraw nodes, which udev announces once their node and its permissions
// are in place.
#include <cstring>

#include "hid/device_change_monitor.h"
#include "hid/linux/udev_library.h"

namespace hid {
namespace {

class UdevDeviceChangeMonitor final : public DeviceChangeMonitor {
 public:
  UdevDeviceChangeMonitor(const linux_backend::UdevApi* api, udev_monitor* monitor) : api_(api), monitor_(monitor) {}
  ~UdevDeviceChangeMonitor() override {
    api_->udev_monitor_unref(monitor_);
    linux_backend::ReleaseUdev();
  }
  UdevDeviceChangeMonitor(const UdevDeviceChangeMonitor&) = delete;
  UdevDeviceChangeMonitor& operator=(const UdevDeviceChangeMonitor&) = delete;

  int Fd() const override { return api_->udev_monitor_get_fd(monitor_); }

  bool Drain() override {
    bool changed = false;
    // The monitor's socket is non-blocking: receiving ends when it is empty.
    while (udev_device* device = api_->udev_monitor_receive_device(monitor_)) {
      const char* action = api_->udev_device_get_action(device);
      if (action != nullptr && (std::strcmp(action, "add") == 0 || std::strcmp(action, "remove") == 0)) {
        changed = true;
      }
      api_->udev_device_unref(device);
    }
    return changed;
  }

 private:
  const linux_backend::UdevApi* api_;
  udev_monitor* monitor_;
};

}  // namespace

std::unique_ptr<DeviceChangeMonitor> CreateDeviceChangeMonitor() {
  const linux_backend::UdevApi* api = linux_backend::AcquireUdev();
  if (api == nullptr) return nullptr;
  udev_monitor* monitor = api->udev_monitor_new_from_netlink(linux_backend::UdevContext(), "udev");
  if (monitor != nullptr && api->udev_monitor_filter_add_match_subsystem_devtype(monitor, "hidraw", nullptr) >= 0 &&
      api->udev_monitor_enable_receiving(monitor) >= 0) {
    return std::make_unique<UdevDeviceChangeMonitor>(api, monitor);
  }
  if (monitor != nullptr) api->udev_monitor_unref(monitor);
  linux_backend::ReleaseUdev();
  return nullptr;
}

}  // namespace hid
