// The Linux backend of the service table: the device-setup and HID services
// over libudev (loaded at run time) and the file services over hidraw.
#include "hid/linux/service_groups.h"
#include "hid/linux/udev_library.h"
#include "hid/service_table.h"

namespace hid {
namespace {

class LinuxServiceProvider final : public ServiceProvider {
 public:
  bool LoadSetupServices(ServiceTable::Setup& group) override {
    return Load(setup_loaded_, group, &linux_backend::SetupServices);
  }
  void FreeSetupServices(ServiceTable::Setup& group) override { Free(setup_loaded_, group); }
  bool LoadHidServices(ServiceTable::Hid& group) override {
    return Load(hid_loaded_, group, &linux_backend::HidServices);
  }
  void FreeHidServices(ServiceTable::Hid& group) override { Free(hid_loaded_, group); }
  void BindFileServices(ServiceTable::File& group) override { group = linux_backend::FileServices(); }

 private:
  // Each group holds one reference to libudev while it is loaded; without
  // the library its entries stay null.
  template <typename Group>
  static bool Load(bool& loaded, Group& group, Group (*services)()) {
    if (!loaded) {
      if (linux_backend::AcquireUdev() == nullptr) {
        group = {};
        return false;
      }
      loaded = true;
    }
    group = services();
    return true;
  }
  template <typename Group>
  static void Free(bool& loaded, Group& group) {
    group = {};
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
