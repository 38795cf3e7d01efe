// libudev, loaded at run time.
//
// The program does not link against libudev: without it the HID layer is
// simply inert and the program still starts. The few entry points used are
// declared here by hand and bound with dlsym, all of them or none.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <type_traits>

struct udev;
struct udev_device;
struct udev_enumerate;
struct udev_list_entry;
struct udev_monitor;

namespace hid::linux_backend {

// The entry points used, one a line: name, then the function's type.
#define LUMETRA_UDEV_SYMBOLS(SYMBOL)                                                                          \
  SYMBOL(udev_new, udev*())                                                                                   \
  SYMBOL(udev_unref, udev*(udev*))                                                                            \
  SYMBOL(udev_enumerate_new, udev_enumerate*(udev*))                                                          \
  SYMBOL(udev_enumerate_unref, udev_enumerate*(udev_enumerate*))                                              \
  SYMBOL(udev_enumerate_add_match_subsystem, int(udev_enumerate*, const char*))                               \
  SYMBOL(udev_enumerate_scan_devices, int(udev_enumerate*))                                                   \
  SYMBOL(udev_enumerate_get_list_entry, udev_list_entry*(udev_enumerate*))                                    \
  SYMBOL(udev_list_entry_get_next, udev_list_entry*(udev_list_entry*))                                        \
  SYMBOL(udev_list_entry_get_name, const char*(udev_list_entry*))                                             \
  SYMBOL(udev_device_new_from_syspath, udev_device*(udev*, const char*))                                      \
  SYMBOL(udev_device_ref, udev_device*(udev_device*))                                                         \
  SYMBOL(udev_device_unref, udev_device*(udev_device*))                                                       \
  SYMBOL(udev_device_get_devnode, const char*(udev_device*))                                                  \
  SYMBOL(udev_device_get_syspath, const char*(udev_device*))                                                  \
  SYMBOL(udev_device_get_sysname, const char*(udev_device*))                                                  \
  SYMBOL(udev_device_get_action, const char*(udev_device*))                                                   \
  SYMBOL(udev_device_get_driver, const char*(udev_device*))                                                   \
  SYMBOL(udev_device_get_devnum, dev_t(udev_device*))                                                         \
  SYMBOL(udev_device_get_parent_with_subsystem_devtype, udev_device*(udev_device*, const char*, const char*)) \
  SYMBOL(udev_device_get_property_value, const char*(udev_device*, const char*))                              \
  SYMBOL(udev_device_get_sysattr_value, const char*(udev_device*, const char*))                               \
  SYMBOL(udev_device_get_devlinks_list_entry, udev_list_entry*(udev_device*))                                 \
  SYMBOL(udev_monitor_new_from_netlink, udev_monitor*(udev*, const char*))                                    \
  SYMBOL(udev_monitor_unref, udev_monitor*(udev_monitor*))                                                    \
  SYMBOL(udev_monitor_filter_add_match_subsystem_devtype, int(udev_monitor*, const char*, const char*))       \
  SYMBOL(udev_monitor_enable_receiving, int(udev_monitor*))                                                   \
  SYMBOL(udev_monitor_get_fd, int(udev_monitor*))                                                             \
  SYMBOL(udev_monitor_receive_device, udev_device*(udev_monitor*))

struct UdevApi {
#define LUMETRA_UDEV_MEMBER(name, ...) std::add_pointer_t<__VA_ARGS__> name = nullptr;
  LUMETRA_UDEV_SYMBOLS(LUMETRA_UDEV_MEMBER)
#undef LUMETRA_UDEV_MEMBER
};

// Reference counted: the first acquisition opens the library and creates
// the shared udev context, the last release closes both. Null when the
// library or one of its entry points is missing. Thread-safe.
const UdevApi* AcquireUdev();
void ReleaseUdev();

// The shared context; valid while an acquisition is held. It belongs to
// the user-interface thread, whose scans and notices use it: a libudev
// context, and everything made from it, must not be used by two threads.
udev* UdevContext();

// The library file to open ("libudev.so.1"); tests name a missing one to
// see the layer go inert. Only while nothing is acquired.
void SetUdevLibraryName(const char* name);

// Adds a reference only when the library is loaded already: for the file
// services, which use udev when someone else has loaded it but never load it
// themselves. Null otherwise; a non-null result needs a ReleaseUdev.
const UdevApi* AcquireLoadedUdev();

// A context of the caller's own, for the file services, which run on
// whatever thread opens or reads a device (a read thread among them), so
// they never touch the shared one. Empty when the library is not loaded:
// the file services never load it themselves.
class OwnUdevContext {
 public:
  OwnUdevContext();
  ~OwnUdevContext();
  OwnUdevContext(const OwnUdevContext&) = delete;
  OwnUdevContext& operator=(const OwnUdevContext&) = delete;

  const UdevApi* Api() const { return api_; }
  udev* get() const { return context_; }
  explicit operator bool() const { return context_ != nullptr; }

 private:
  const UdevApi* api_ = nullptr;
  udev* context_ = nullptr;
};

}  // namespace hid::linux_backend
