#include "hid/udev_library_linux.h"

#include <dlfcn.h>

#include <mutex>
#include <string>

namespace hid::linux_backend {
namespace {

struct Loaded {
  std::mutex mutex;
  int references = 0;
  void* library = nullptr;
  udev* context = nullptr;
  UdevApi api{};
  std::string library_name = "libudev.so.1";
};

Loaded& State() {
  static Loaded state;
  return state;
}

template <typename F>
bool Bind(void* library, const char* name, F& slot) {
  slot = reinterpret_cast<F>(dlsym(library, name));
  return slot != nullptr;
}

bool BindAll(void* library, UdevApi& api) {
#define LUMETRA_BIND(name) Bind(library, #name, api.name)
  return LUMETRA_BIND(udev_new) && LUMETRA_BIND(udev_unref) && LUMETRA_BIND(udev_enumerate_new) &&
         LUMETRA_BIND(udev_enumerate_unref) && LUMETRA_BIND(udev_enumerate_add_match_subsystem) &&
         LUMETRA_BIND(udev_enumerate_scan_devices) && LUMETRA_BIND(udev_enumerate_get_list_entry) &&
         LUMETRA_BIND(udev_list_entry_get_next) && LUMETRA_BIND(udev_list_entry_get_name) &&
         LUMETRA_BIND(udev_device_new_from_syspath) && LUMETRA_BIND(udev_device_ref) &&
         LUMETRA_BIND(udev_device_unref) && LUMETRA_BIND(udev_device_get_devnode) &&
         LUMETRA_BIND(udev_device_get_syspath) && LUMETRA_BIND(udev_device_get_sysname) &&
         LUMETRA_BIND(udev_device_get_action) && LUMETRA_BIND(udev_device_get_driver) &&
         LUMETRA_BIND(udev_device_get_devnum) && LUMETRA_BIND(udev_device_get_parent_with_subsystem_devtype) &&
         LUMETRA_BIND(udev_device_get_property_value) && LUMETRA_BIND(udev_device_get_sysattr_value) &&
         LUMETRA_BIND(udev_device_get_devlinks_list_entry) && LUMETRA_BIND(udev_monitor_new_from_netlink) &&
         LUMETRA_BIND(udev_monitor_unref) && LUMETRA_BIND(udev_monitor_filter_add_match_subsystem_devtype) &&
         LUMETRA_BIND(udev_monitor_enable_receiving) && LUMETRA_BIND(udev_monitor_get_fd) &&
         LUMETRA_BIND(udev_monitor_receive_device);
#undef LUMETRA_BIND
}

}  // namespace

const UdevApi* AcquireUdev() {
  Loaded& s = State();
  std::lock_guard lock(s.mutex);
  if (s.references > 0) {
    ++s.references;
    return &s.api;
  }
  void* library = dlopen(s.library_name.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) return nullptr;
  UdevApi api{};
  udev* context = nullptr;
  if (!BindAll(library, api) || (context = api.udev_new()) == nullptr) {
    dlclose(library);
    return nullptr;
  }
  s.library = library;
  s.api = api;
  s.context = context;
  s.references = 1;
  return &s.api;
}

const UdevApi* AcquireLoadedUdev() {
  Loaded& s = State();
  std::lock_guard lock(s.mutex);
  if (s.references == 0) return nullptr;
  ++s.references;
  return &s.api;
}

void ReleaseUdev() {
  Loaded& s = State();
  std::lock_guard lock(s.mutex);
  if (s.references == 0 || --s.references > 0) return;
  s.api.udev_unref(s.context);
  dlclose(s.library);
  s.context = nullptr;
  s.library = nullptr;
  s.api = UdevApi{};
}

udev* UdevContext() { return State().context; }

void SetUdevLibraryName(const char* name) {
  Loaded& s = State();
  std::lock_guard lock(s.mutex);
  if (s.references == 0) s.library_name = name != nullptr ? name : "libudev.so.1";
}

}  // namespace hid::linux_backend
