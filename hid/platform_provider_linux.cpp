// The Linux backend of the service table: the device-setup and HID services
// over libudev (loaded at run time) and the file services over hidraw.
#include "hid/hid_services.h"
#include "hid/linux_services_linux.h"
#include "hid/udev_library_linux.h"

namespace hid {
namespace {

class LinuxServiceProvider final : public ServiceProvider {
 public:
  bool LoadSetupServices(ServiceTable& table) override {
    return Load(setup_loaded_, table, &linux_backend::BindSetupEntries, &ForgetSetupServices);
  }
  void FreeSetupServices(ServiceTable& table) override {
    Free(setup_loaded_, table, &ForgetSetupServices);
  }
  bool LoadHidServices(ServiceTable& table) override {
    return Load(hid_loaded_, table, &linux_backend::BindHidEntries, &ForgetHidServices);
  }
  void FreeHidServices(ServiceTable& table) override { Free(hid_loaded_, table, &ForgetHidServices); }
  void BindFileServices(ServiceTable& table) override { linux_backend::BindFileEntries(table); }

 private:
  using Binder = void (*)(ServiceTable&);

  // Each group holds one reference to libudev while it is loaded; without
  // the library its entries stay null.
  static bool Load(bool& loaded, ServiceTable& table, Binder bind, Binder clear) {
    if (!loaded) {
      if (linux_backend::AcquireUdev() == nullptr) {
        clear(table);
        return false;
      }
      loaded = true;
    }
    bind(table);
    return true;
  }
  static void Free(bool& loaded, ServiceTable& table, Binder clear) {
    clear(table);
    if (loaded) {
      loaded = false;
      linux_backend::ReleaseUdev();
    }
  }

  bool setup_loaded_ = false;
  bool hid_loaded_ = false;
};

}  // namespace

ServiceProvider& PlatformServiceProvider() {
  static LinuxServiceProvider provider;
  return provider;
}

}  // namespace hid
