#include "hid/device_change_monitor.h"

namespace hid {

// Windows broadcasts WM_DEVICECHANGE to top-level windows by itself.
std::unique_ptr<DeviceChangeMonitor> CreateDeviceChangeMonitor() { return nullptr; }

}  // namespace hid
