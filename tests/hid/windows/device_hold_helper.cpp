// A second program for the device-hold tests: it holds a device as another
// copy of the program would.
//   lumetra_device_hold_helper hold PATH          holds it, says "H", waits to be ended
//   lumetra_device_hold_helper hold-for PATH MS   holds it, says "H", lets go after MS and ends
//   lumetra_device_hold_helper try PATH           exit 0: it could be held; 3: held elsewhere; 4: failed
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "hid/service_table.h"

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const hid::ServiceTable::Hold holds = hid::PlatformHoldServices();
  HANDLE hold = holds.HoldDevice(argv[2], 0);
  if (std::strcmp(argv[1], "try") == 0) {
    if (hold != INVALID_HANDLE_VALUE) return holds.ReleaseDeviceHold(hold) ? 0 : 4;
    return ::GetLastError() == ERROR_TIMEOUT ? 3 : 4;
  }
  if (hold == INVALID_HANDLE_VALUE) return 4;
  std::fputs("H", stdout);
  std::fflush(stdout);
  if (std::strcmp(argv[1], "hold") == 0) ::Sleep(INFINITE);
  ::Sleep(argc > 3 ? static_cast<DWORD>(std::atoi(argv[3])) : 0);
  return holds.ReleaseDeviceHold(hold) ? 0 : 4;
}
