#include "app/adapters/device_change_watcher.h"

#include <QSocketNotifier>

#include "hid/notify_window.h"

namespace app {

DeviceChangeWatcher::DeviceChangeWatcher(QObject* parent)
    : QObject(parent), monitor_(hid::CreateDeviceChangeMonitor()) {
  if (!monitor_) return;
  notifier_ = new QSocketNotifier(monitor_->Fd(), QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &DeviceChangeWatcher::OnReadable);
}

DeviceChangeWatcher::~DeviceChangeWatcher() = default;

void DeviceChangeWatcher::OnReadable() {
  if (monitor_->Drain()) hid::BroadcastDeviceChange();
}

}  // namespace app
