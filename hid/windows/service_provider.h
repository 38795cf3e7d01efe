// The Windows backend of the service table: the device-setup and HID
// libraries loaded at run time and bound entry point by entry point
// (service_groups.h), and the file services taken from kernel32.
//
// Only the Windows build includes this header. The program reaches the
// backend through PlatformServiceProvider(); the class is public so that a
// provider can be pointed at libraries that lack entry points.
#pragma once

#ifndef _WIN32
#error "hid/windows/service_provider.h is for Windows builds only"
#endif

#include "hid/service_table.h"

namespace hid::windows {

// The libraries the program loads, by the names Windows knows them under.
inline constexpr const char* kSetupLibraryName = "SetupApi.dll";
inline constexpr const char* kHidLibraryName = "HID.dll";

// The library names are parameters so that a provider can be pointed at a
// library that lacks entry points; the program uses the defaults.
class WindowsServiceProvider final : public ServiceProvider {
 public:
  explicit WindowsServiceProvider(const char* setupLibrary = kSetupLibraryName,
                                  const char* hidLibrary = kHidLibraryName);
  ~WindowsServiceProvider() override;
  WindowsServiceProvider(const WindowsServiceProvider&) = delete;
  WindowsServiceProvider& operator=(const WindowsServiceProvider&) = delete;

  bool LoadSetupServices(ServiceTable::Setup& group) override;
  void FreeSetupServices(ServiceTable::Setup& group) override;
  bool LoadHidServices(ServiceTable::Hid& group) override;
  void FreeHidServices(ServiceTable::Hid& group) override;
  void BindFileServices(ServiceTable::File& group) override;

  // The loaded libraries; nullptr while not loaded.
  HMODULE SetupLibrary() const { return setup_library_; }
  HMODULE HidLibrary() const { return hid_library_; }

 private:
  const char* setup_name_;
  const char* hid_name_;
  HMODULE setup_library_ = nullptr;
  HMODULE hid_library_ = nullptr;
};

}  // namespace hid::windows
