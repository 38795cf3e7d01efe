#include "app/adapters/device_change_watcher.h"

#include "hid/notify_window.h"

namespace app {

DeviceChangeWatcher::DeviceChangeWatcher() : monitor_(hid::CreateDeviceChangeMonitor()) {
  if (!monitor_) return;
  watch_ = kit::WatchReadable(monitor_->Fd(), [this] {
    if (monitor_->Drain()) hid::BroadcastDeviceChange();
  });
}

// The watch goes first: nothing may call into the monitor once it is gone.
DeviceChangeWatcher::~DeviceChangeWatcher() { watch_.reset(); }

}  // namespace app
