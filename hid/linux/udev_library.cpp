// libudev, loaded at run time and bound symbol by symbol.
#include "hid/linux/udev_library.h"

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

// Binds every symbol of the list, one a line; true when none is missing.
bool BindAll(void* library, UdevApi& api) {
  bool complete = true;
#define LUMETRA_BIND_SYMBOL(name, ...)                                    \
  api.name = reinterpret_cast<decltype(api.name)>(dlsym(library, #name)); \
  complete = complete && api.name != nullptr;
  LUMETRA_UDEV_SYMBOLS(LUMETRA_BIND_SYMBOL)
#undef LUMETRA_BIND_SYMBOL
  return complete;
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

OwnUdevContext::OwnUdevContext() : api_(AcquireLoadedUdev()) {
  if (api_ == nullptr) return;
  context_ = api_->udev_new();
  if (context_ == nullptr) {
    ReleaseUdev();
    api_ = nullptr;
  }
}

OwnUdevContext::~OwnUdevContext() {
  if (context_ == nullptr) return;
  api_->udev_unref(context_);
  ReleaseUdev();
}

void SetUdevLibraryName(const char* name) {
  Loaded& s = State();
  std::lock_guard lock(s.mutex);
  if (s.references == 0) s.library_name = name != nullptr ? name : "libudev.so.1";
}

}  // namespace hid::linux_backend
