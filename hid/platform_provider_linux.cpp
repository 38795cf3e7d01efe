// The platform's service provider: inert until a real backend fills it.
// No device-setup or HID service can be loaded, and every file service
// fails with ERROR_NOT_SUPPORTED, so the controller stays inert.
#include <chrono>
#include <thread>

#include "hid/hid_services.h"

namespace hid {
namespace {

thread_local DWORD t_lastError = ERROR_SUCCESS;

BOOL NotSupported() {
  t_lastError = ERROR_NOT_SUPPORTED;
  return FALSE;
}

HANDLE WINAPI InertCreateFileA(const char*, DWORD, DWORD, SECURITY_ATTRIBUTES*, DWORD, DWORD, HANDLE) {
  t_lastError = ERROR_NOT_SUPPORTED;
  return INVALID_HANDLE_VALUE;
}
BOOL WINAPI InertCloseHandle(HANDLE) { return NotSupported(); }
BOOL WINAPI InertReadFile(HANDLE, void*, DWORD, DWORD*, OVERLAPPED*) { return NotSupported(); }
BOOL WINAPI InertWriteFile(HANDLE, const void*, DWORD, DWORD*, OVERLAPPED*) { return NotSupported(); }
BOOL WINAPI InertReadFileEx(HANDLE, void*, DWORD, OVERLAPPED*, LPOVERLAPPED_COMPLETION_ROUTINE) {
  return NotSupported();
}
DWORD WINAPI InertSleepEx(DWORD milliseconds, BOOL) {
  // No I/O can be pending, so an alertable wait is a plain sleep.
  if (milliseconds == INFINITE) {
    for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  return 0;
}
BOOL WINAPI InertGetOverlappedResult(HANDLE, OVERLAPPED*, DWORD*, BOOL) { return NotSupported(); }
BOOL WINAPI InertCancelIo(HANDLE) { return NotSupported(); }
DWORD WINAPI InertGetLastError() { return t_lastError; }

class InertProvider final : public ServiceProvider {
 public:
  bool LoadSetupServices(ServiceTable&) override { return false; }
  void FreeSetupServices(ServiceTable&) override {}
  bool LoadHidServices(ServiceTable&) override { return false; }
  void FreeHidServices(ServiceTable&) override {}
  void BindFileServices(ServiceTable& table) override {
    table.CreateFileA = &InertCreateFileA;
    table.CloseHandle = &InertCloseHandle;
    table.ReadFile = &InertReadFile;
    table.WriteFile = &InertWriteFile;
    table.ReadFileEx = &InertReadFileEx;
    table.SleepEx = &InertSleepEx;
    table.GetOverlappedResult = &InertGetOverlappedResult;
    table.CancelIo = &InertCancelIo;
    table.GetLastError = &InertGetLastError;
  }
};

}  // namespace

ServiceProvider& PlatformServiceProvider() {
  static InertProvider provider;
  return provider;
}

}  // namespace hid
