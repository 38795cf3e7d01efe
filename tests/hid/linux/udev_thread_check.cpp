// A stand-in for libudev that tests load in its place: it forwards every
// call to the real library (it depends on it, so the symbols it does not
// define resolve there) and counts the calls that use a context on another
// thread than the one that made it. libudev contexts, and everything made
// from them, must stay on one thread.
#include <dlfcn.h>

#include <atomic>
#include <map>
#include <mutex>
#include <thread>

struct udev;
struct udev_device;
struct udev_enumerate;
struct udev_monitor;

namespace {

std::mutex g_mutex;
std::map<const udev*, std::thread::id> g_owners;
std::atomic<int> g_foreign{0};

template <typename Function>
Function Real(const char* name) {
  static void* library = dlopen("libudev.so.1", RTLD_NOW | RTLD_LOCAL);
  return reinterpret_cast<Function>(dlsym(library, name));
}

void CheckOwner(const udev* context) {
  std::lock_guard lock(g_mutex);
  const auto owner = g_owners.find(context);
  if (owner != g_owners.end() && owner->second != std::this_thread::get_id()) ++g_foreign;
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) int lumetra_foreign_udev_context_uses() { return g_foreign.load(); }

__attribute__((visibility("default"))) udev* udev_new() {
  udev* context = Real<udev* (*)()>("udev_new")();
  std::lock_guard lock(g_mutex);
  g_owners[context] = std::this_thread::get_id();
  return context;
}

__attribute__((visibility("default"))) udev* udev_unref(udev* context) {
  CheckOwner(context);
  {
    std::lock_guard lock(g_mutex);
    g_owners.erase(context);
  }
  return Real<udev* (*)(udev*)>("udev_unref")(context);
}

__attribute__((visibility("default"))) udev_enumerate* udev_enumerate_new(udev* context) {
  CheckOwner(context);
  return Real<udev_enumerate* (*)(udev*)>("udev_enumerate_new")(context);
}

__attribute__((visibility("default"))) udev_device* udev_device_new_from_syspath(udev* context, const char* syspath) {
  CheckOwner(context);
  return Real<udev_device* (*)(udev*, const char*)>("udev_device_new_from_syspath")(context, syspath);
}

__attribute__((visibility("default"))) udev_monitor* udev_monitor_new_from_netlink(udev* context, const char* name) {
  CheckOwner(context);
  return Real<udev_monitor* (*)(udev*, const char*)>("udev_monitor_new_from_netlink")(context, name);
}

}  // extern "C"
