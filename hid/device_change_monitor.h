// The system's device-change notices, for platforms where no window receives
// a WM_DEVICECHANGE broadcast.
//
// The program's event loop watches Fd() for readability and then calls
// Drain(); when Drain() reports a change it broadcasts WM_DEVICECHANGE /
// DBT_DEVNODES_CHANGED to the notify windows (hid::BroadcastDeviceChange),
// which is what Windows itself does when a device node comes or goes.
#pragma once

#include <memory>

namespace hid {

class DeviceChangeMonitor {
 public:
  virtual ~DeviceChangeMonitor() = default;

  // A descriptor that becomes readable when notices are waiting.
  virtual int Fd() const = 0;

  // Consumes every waiting notice without blocking; true when any of them
  // told of a HID device node being added or removed.
  virtual bool Drain() = 0;
};

// The platform's monitor; null where the system broadcasts device changes
// to windows itself (Windows) or where no notices can be had (no udev).
std::unique_ptr<DeviceChangeMonitor> CreateDeviceChangeMonitor();

}  // namespace hid
