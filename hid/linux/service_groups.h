// The groups of entry points the Linux backend puts into the service table.
#pragma once

#include "hid/service_table.h"

namespace hid::linux_backend {

// Device-setup services over udev (setup_services.cpp); their callers hold
// a udev acquisition.
ServiceTable::Setup SetupServices();

// HID services over udev and sysfs (hid_services.cpp); their callers hold
// a udev acquisition.
ServiceTable::Hid HidServices();

// File services over the hidraw nodes (file_services.cpp and
// overlapped_io.cpp); they need nothing loaded.
ServiceTable::File FileServices();

// Device holds by flock on the hidraw nodes (device_hold.cpp).
ServiceTable::Hold HoldServices();

}  // namespace hid::linux_backend
