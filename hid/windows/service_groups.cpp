// The device-setup and HID libraries are loaded at run time, never linked:
// a system without them (or with an older one that lacks an entry point)
// leaves the HID layer inert instead of refusing to start the program.
#include "hid/windows/service_groups.h"

#include <type_traits>

namespace hid::windows {
namespace {

// The table's entries must have exactly the types of the system's
// functions: a wrong parameter type would go unnoticed through
// GetProcAddress and break only at run time.
#define LUMETRA_SAME_TYPE(Group, entry)                                                   \
  static_assert(std::is_same_v<decltype(&::entry), decltype(ServiceTable::Group::entry)>, \
                #entry " differs from the system's");
#define LUMETRA_SAME_SETUP_TYPE(entry) LUMETRA_SAME_TYPE(Setup, entry)
#define LUMETRA_SAME_HID_TYPE(entry) LUMETRA_SAME_TYPE(Hid, entry)
#define LUMETRA_SAME_FILE_TYPE(entry) LUMETRA_SAME_TYPE(File, entry)
LUMETRA_SETUP_SERVICES(LUMETRA_SAME_SETUP_TYPE)
LUMETRA_HID_SERVICES(LUMETRA_SAME_HID_TYPE)
LUMETRA_FILE_SERVICES(LUMETRA_SAME_FILE_TYPE)
#undef LUMETRA_SAME_FILE_TYPE
#undef LUMETRA_SAME_HID_TYPE
#undef LUMETRA_SAME_SETUP_TYPE
#undef LUMETRA_SAME_TYPE

// Converts an exported address to the entry's type. The detour through
// void(*)() is the conversion the compiler accepts without a cast warning.
template <typename Entry>
bool BindEntry(HMODULE library, const char* name, Entry& entry) {
  FARPROC address = ::GetProcAddress(library, name);
  entry = reinterpret_cast<Entry>(reinterpret_cast<void (*)()>(address));
  return address != nullptr;
}

// A group bound in full replaces the caller's; otherwise the caller's is
// forgotten.
template <typename Group>
bool Settle(Group& group, const Group& bound, bool complete) {
  group = complete ? bound : Group{};
  return complete;
}

}  // namespace

// The entry's own name is the exported name: stringising it rules out a
// misspelt export string.
#define LUMETRA_BIND_BY_NAME(entry) complete = complete && BindEntry(library, #entry, bound.entry);

bool BindSetupServices(HMODULE library, ServiceTable::Setup& group) {
  ServiceTable::Setup bound;
  bool complete = library != nullptr;
  LUMETRA_SETUP_SERVICES(LUMETRA_BIND_BY_NAME)
  return Settle(group, bound, complete);
}

bool BindHidServices(HMODULE library, ServiceTable::Hid& group) {
  ServiceTable::Hid bound;
  bool complete = library != nullptr;
  LUMETRA_HID_SERVICES(LUMETRA_BIND_BY_NAME)
  return Settle(group, bound, complete);
}

#undef LUMETRA_BIND_BY_NAME

HMODULE LoadServiceLibrary(const char* name) {
  // A missing library is an expected condition here, not one to ask the
  // user about.
  const UINT previous = ::SetErrorMode(SEM_NOOPENFILEERRORBOX);
  HMODULE library = ::LoadLibraryA(name);
  ::SetErrorMode(previous);
  return library;
}

ServiceTable::File KernelFileServices() {
  // Not &::CancelIo: a reference to it would keep the program from
  // starting on a system without it.
  return {.CreateFileA = &::CreateFileA,
          .CloseHandle = &::CloseHandle,
          .ReadFile = &::ReadFile,
          .WriteFile = &::WriteFile,
          .ReadFileEx = &::ReadFileEx,
          .SleepEx = &::SleepEx,
          .GetOverlappedResult = &::GetOverlappedResult,
          .CancelIo = &CancelIoOnDemand,
          .GetLastError = &::GetLastError};
}

BOOL CancelIoThrough(const char* module, const char* entry, HANDLE file) {
  HMODULE loaded = ::GetModuleHandleA(module);
  BOOL(WINAPI * cancel)(HANDLE) = nullptr;
  if (loaded == nullptr || !BindEntry(loaded, entry, cancel)) {
    ::SetLastError(ERROR_PROC_NOT_FOUND);
    return FALSE;
  }
  return cancel(file);
}

BOOL WINAPI CancelIoOnDemand(HANDLE file) { return CancelIoThrough("kernel32.dll", "CancelIo", file); }

}  // namespace hid::windows
