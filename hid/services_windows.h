// The Windows backend of the service table: the device-setup and HID
// libraries loaded at run time and bound entry point by entry point, and the
// file services taken from kernel32.
//
// Only the Windows build includes this header. The program reaches the
// backend through PlatformServiceProvider(); the pieces below are public so
// that the binding rules can be checked against other libraries.
#pragma once

#ifndef _WIN32
#error "services_windows.h is for Windows builds only"
#endif

#include "hid/hid_services.h"

namespace hid::windows {

// The libraries the program loads, by the names Windows knows them under.
inline constexpr const char* kSetupLibraryName = "SetupApi.dll";
inline constexpr const char* kHidLibraryName = "HID.dll";

// Loads a library without letting a missing file raise the system's error
// box; the process error mode is restored afterwards. nullptr on failure.
HMODULE LoadServiceLibrary(const char* name);

// Binds the device-setup group (the SetupDi* entries) from `library`: every
// entry or none. On failure every entry of the group in `table` is null and
// the result is false (ForgetSetupServices); the library itself is left to
// the caller.
bool BindSetupEntries(HMODULE library, ServiceTable& table);

// The same for the HID group (HidD_* and HidP_GetCaps).
bool BindHidEntries(HMODULE library, ServiceTable& table);

// The kernel32 file services. CancelIo is bound to CancelIoOnDemand.
void BindKernelFileEntries(ServiceTable& table);

// Looks up `entry` in the already loaded module `module` at every call and
// cancels the calling thread's pending I/O on `file` through it. FALSE, with
// ERROR_PROC_NOT_FOUND as the last error, when the module or entry is absent.
BOOL CancelIoThrough(const char* module, const char* entry, HANDLE file);
// CancelIo from "kernel32.dll", looked up afresh at each use.
BOOL WINAPI CancelIoOnDemand(HANDLE file);

// The provider itself. The library names are parameters so that a provider
// can be pointed at a library that lacks entry points; the program uses the
// defaults.
class WindowsServiceProvider final : public ServiceProvider {
 public:
  explicit WindowsServiceProvider(const char* setupLibrary = kSetupLibraryName,
                                  const char* hidLibrary = kHidLibraryName);
  ~WindowsServiceProvider() override;
  WindowsServiceProvider(const WindowsServiceProvider&) = delete;
  WindowsServiceProvider& operator=(const WindowsServiceProvider&) = delete;

  bool LoadSetupServices(ServiceTable& table) override;
  void FreeSetupServices(ServiceTable& table) override;
  bool LoadHidServices(ServiceTable& table) override;
  void FreeHidServices(ServiceTable& table) override;
  void BindFileServices(ServiceTable& table) override;

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
