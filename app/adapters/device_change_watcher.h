// Feeds the system's device-change notices into the event loop where the
// system does not broadcast them to windows itself (Linux: udev). Each
// change becomes the WM_DEVICECHANGE notice the HID controller re-scans on.
#pragma once

#include <QObject>
#include <memory>

#include "hid/device_change_monitor.h"

class QSocketNotifier;

namespace app {

class DeviceChangeWatcher final : public QObject {
 public:
  // Watches nothing where the platform has no monitor to offer.
  explicit DeviceChangeWatcher(QObject* parent = nullptr);
  ~DeviceChangeWatcher() override;

 private:
  void OnReadable();

  std::unique_ptr<hid::DeviceChangeMonitor> monitor_;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace app
