// libudev, loaded at run time.
//
// The program does not link against libudev: without it the HID layer is
// simply inert and the program still starts. The few entry points used are
// declared here by hand and bound with dlsym, all of them or none.
#pragma once

#include <sys/types.h>

#include <cstdint>

struct udev;
struct udev_device;
struct udev_enumerate;
struct udev_list_entry;
struct udev_monitor;

namespace hid::linux_backend {

struct UdevApi {
  udev* (*udev_new)();
  udev* (*udev_unref)(udev*);
  udev_enumerate* (*udev_enumerate_new)(udev*);
  udev_enumerate* (*udev_enumerate_unref)(udev_enumerate*);
  int (*udev_enumerate_add_match_subsystem)(udev_enumerate*, const char*);
  int (*udev_enumerate_scan_devices)(udev_enumerate*);
  udev_list_entry* (*udev_enumerate_get_list_entry)(udev_enumerate*);
  udev_list_entry* (*udev_list_entry_get_next)(udev_list_entry*);
  const char* (*udev_list_entry_get_name)(udev_list_entry*);
  udev_device* (*udev_device_new_from_syspath)(udev*, const char*);
  udev_device* (*udev_device_ref)(udev_device*);
  udev_device* (*udev_device_unref)(udev_device*);
  const char* (*udev_device_get_devnode)(udev_device*);
  const char* (*udev_device_get_syspath)(udev_device*);
  const char* (*udev_device_get_sysname)(udev_device*);
  const char* (*udev_device_get_action)(udev_device*);
  const char* (*udev_device_get_driver)(udev_device*);
  dev_t (*udev_device_get_devnum)(udev_device*);
  udev_device* (*udev_device_get_parent_with_subsystem_devtype)(udev_device*, const char*, const char*);
  const char* (*udev_device_get_property_value)(udev_device*, const char*);
  const char* (*udev_device_get_sysattr_value)(udev_device*, const char*);
  udev_list_entry* (*udev_device_get_devlinks_list_entry)(udev_device*);
  udev_monitor* (*udev_monitor_new_from_netlink)(udev*, const char*);
  udev_monitor* (*udev_monitor_unref)(udev_monitor*);
  int (*udev_monitor_filter_add_match_subsystem_devtype)(udev_monitor*, const char*, const char*);
  int (*udev_monitor_enable_receiving)(udev_monitor*);
  int (*udev_monitor_get_fd)(udev_monitor*);
  udev_device* (*udev_monitor_receive_device)(udev_monitor*);
};

// Reference counted: the first acquisition opens the library and creates
// the shared udev context, the last release closes both. Null when the
// library or one of its entry points is missing. Thread-safe.
const UdevApi* AcquireUdev();
void ReleaseUdev();

// The shared context; valid while an acquisition is held.
udev* UdevContext();

// The library file to open ("libudev.so.1"); tests name a missing one to
// see the layer go inert. Only while nothing is acquired.
void SetUdevLibraryName(const char* name);

}  // namespace hid::linux_backend

namespace hid::linux_backend {

// Adds a reference only when the library is loaded already: for the file
// services, which use udev when someone else has loaded it but never load it
// themselves. Null otherwise; a non-null result needs a ReleaseUdev.
const UdevApi* AcquireLoadedUdev();

}  // namespace hid::linux_backend
