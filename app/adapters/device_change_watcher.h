// Feeds the system's device-change notices into the event loop where the
// system does not broadcast them to windows itself (Linux: udev). Each
// change becomes the WM_DEVICECHANGE notice the HID controller re-scans on.
#pragma once

#include <memory>

#include "app/kit/backend.h"
#include "hid/device_change_monitor.h"

namespace app {

class DeviceChangeWatcher final {
 public:
  // Watches nothing where the platform has no monitor to offer.
  DeviceChangeWatcher();
  ~DeviceChangeWatcher();
  DeviceChangeWatcher(const DeviceChangeWatcher&) = delete;
  DeviceChangeWatcher& operator=(const DeviceChangeWatcher&) = delete;

 private:
  std::unique_ptr<hid::DeviceChangeMonitor> monitor_;
  std::unique_ptr<kit::ReadableWatch> watch_;
};

}  // namespace app
