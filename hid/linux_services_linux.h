// The groups of entry points the Linux backend puts into the service table.
#pragma once

#include "hid/hid_services.h"

namespace hid::linux_backend {

// Device-setup services over udev; the caller holds a udev acquisition.
void BindSetupEntries(ServiceTable& table);

// HID services over udev and sysfs; the caller holds a udev acquisition.
void BindHidEntries(ServiceTable& table);

// File services over the hidraw nodes; need nothing loaded.
void BindFileEntries(ServiceTable& table);
void BindOverlappedEntries(ServiceTable& table);

}  // namespace hid::linux_backend
