// Device holds on Windows: a named mutex per device, its name made from the
// device path. The system hands a mutex whose owner ended without releasing
// it to the next waiter as abandoned; the hold counts that as free, so a
// program that crashed holding a device never blocks the next one.
#include <cstdint>
#include <cstdio>
#include <string>

#include "base/ascii_case.h"
#include "hid/service_table.h"

namespace hid::windows {
namespace {

// Every session's programs reach the same stopwatch, so the name lives in
// the global namespace. A path may be longer than a name may be, and holds
// a backslash, which a name must not: the name carries a hash of the path,
// folded to lower case as the system compares device paths (ASCII only,
// whatever the program's locale: every program must make the same name).
std::string HoldName(const char* devicePath) {
  std::uint64_t hash = 0xcbf29ce484222325ULL;  // FNV-1a, 64 bits
  for (const char* c = devicePath; *c != '\0'; ++c) {
    hash ^= static_cast<unsigned char>(base::LowerAscii(*c));
    hash *= 0x100000001b3ULL;
  }
  char name[64];
  std::snprintf(name, sizeof name, "Global\\lumetra-device-hold-%016llx", static_cast<unsigned long long>(hash));
  return name;
}

HANDLE WINAPI HoldDevice(const char* DevicePath, DWORD dwMilliseconds) {
  if (DevicePath == nullptr || *DevicePath == '\0') {
    ::SetLastError(ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  // Open to every user: a program of another user at the same stopwatch
  // must be able to wait for the hold, not be refused the object. The worst
  // anyone can do with it is hold a stopwatch they could open anyway.
  SECURITY_DESCRIPTOR everyone;
  ::InitializeSecurityDescriptor(&everyone, SECURITY_DESCRIPTOR_REVISION);
  ::SetSecurityDescriptorDacl(&everyone, TRUE, nullptr, FALSE);
  SECURITY_ATTRIBUTES attributes{sizeof attributes, &everyone, FALSE};
  HANDLE mutex = ::CreateMutexA(&attributes, FALSE, HoldName(DevicePath).c_str());
  if (mutex == nullptr) return INVALID_HANDLE_VALUE;  // the system's error stays
  switch (::WaitForSingleObject(mutex, dwMilliseconds)) {
    case WAIT_OBJECT_0:
    case WAIT_ABANDONED:  // its holder ended without releasing it
      return mutex;
    case WAIT_TIMEOUT:
      ::CloseHandle(mutex);
      ::SetLastError(ERROR_TIMEOUT);
      return INVALID_HANDLE_VALUE;
    default: {
      const DWORD error = ::GetLastError();
      ::CloseHandle(mutex);
      ::SetLastError(error);
      return INVALID_HANDLE_VALUE;
    }
  }
}

BOOL WINAPI ReleaseDeviceHold(HANDLE hHold) {
  // A closed handle alone would not release it: the mutex stays owned until
  // its thread ends.
  const BOOL released = ::ReleaseMutex(hHold);
  const BOOL closed = ::CloseHandle(hHold);
  return released && closed;
}

}  // namespace
}  // namespace hid::windows

namespace hid {

ServiceTable::Hold PlatformHoldServices() {
  return {.HoldDevice = &windows::HoldDevice, .ReleaseDeviceHold = &windows::ReleaseDeviceHold};
}

}  // namespace hid
