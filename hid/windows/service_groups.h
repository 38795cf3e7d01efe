// The groups of the service table as the Windows libraries give them: the
// device-setup and HID groups bound by name from a loaded library, the file
// group from kernel32.
//
// Only the Windows build includes this header. The binding rules are public
// so that they can be checked against other libraries.
#pragma once

#ifndef _WIN32
#error "hid/windows/service_groups.h is for Windows builds only"
#endif

#include "hid/service_table.h"

namespace hid::windows {

// Loads a library without letting a missing file raise the system's error
// box; the process error mode is restored afterwards. nullptr on failure.
HMODULE LoadServiceLibrary(const char* name);

// Binds the device-setup group (the SetupDi* entries) from `library`: every
// entry or none. On failure the group is all null and the result is false;
// the library itself is left to the caller.
bool BindSetupServices(HMODULE library, ServiceTable::Setup& group);

// The same for the HID group (HidD_* and HidP_GetCaps).
bool BindHidServices(HMODULE library, ServiceTable::Hid& group);

// The kernel32 file services, with CancelIo bound to CancelIoOnDemand.
ServiceTable::File KernelFileServices();

// Looks up `entry` in the already loaded module `module` at every call and
// cancels the calling thread's pending I/O on `file` through it. FALSE, with
// ERROR_PROC_NOT_FOUND as the last error, when the module or entry is absent.
BOOL CancelIoThrough(const char* module, const char* entry, HANDLE file);
// CancelIo from "kernel32.dll", looked up afresh at each use.
BOOL WINAPI CancelIoOnDemand(HANDLE file);

}  // namespace hid::windows
