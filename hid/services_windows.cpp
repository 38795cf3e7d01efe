// The Windows backend of the service table.
//
// The device-setup and HID libraries are loaded at run time, never linked:
// a system without them (or with an older one that lacks an entry point)
// leaves the HID layer inert instead of refusing to start the program.
#include "hid/services_windows.h"

#include <type_traits>

namespace hid::windows {
namespace {

// The table's entries must have exactly the types of the system's
// functions: a wrong parameter type would go unnoticed through
// GetProcAddress and break only at run time.
#define LUMETRA_SAME_TYPE(entry)                                                                        \
  static_assert(std::is_same_v<decltype(&::entry), decltype(ServiceTable::entry)>, #entry " differs from " \
                                                                                           "the system's")
LUMETRA_SAME_TYPE(SetupDiGetClassDevsA);
LUMETRA_SAME_TYPE(SetupDiEnumDeviceInterfaces);
LUMETRA_SAME_TYPE(SetupDiGetDeviceInterfaceDetailA);
LUMETRA_SAME_TYPE(SetupDiGetDeviceRegistryPropertyA);
LUMETRA_SAME_TYPE(SetupDiDestroyDeviceInfoList);
LUMETRA_SAME_TYPE(HidD_GetHidGuid);
LUMETRA_SAME_TYPE(HidD_GetAttributes);
LUMETRA_SAME_TYPE(HidD_GetPreparsedData);
LUMETRA_SAME_TYPE(HidD_FreePreparsedData);
LUMETRA_SAME_TYPE(HidP_GetCaps);
LUMETRA_SAME_TYPE(HidD_GetProductString);
LUMETRA_SAME_TYPE(CreateFileA);
LUMETRA_SAME_TYPE(CloseHandle);
LUMETRA_SAME_TYPE(ReadFile);
LUMETRA_SAME_TYPE(WriteFile);
LUMETRA_SAME_TYPE(ReadFileEx);
LUMETRA_SAME_TYPE(SleepEx);
LUMETRA_SAME_TYPE(GetOverlappedResult);
LUMETRA_SAME_TYPE(CancelIo);
LUMETRA_SAME_TYPE(GetLastError);
#undef LUMETRA_SAME_TYPE

// Converts an exported address to the entry's type. The detour through
// void(*)() is the conversion the compiler accepts without a cast warning.
template <typename Entry>
bool BindEntry(HMODULE library, const char* name, Entry& entry) {
  FARPROC address = ::GetProcAddress(library, name);
  entry = reinterpret_cast<Entry>(reinterpret_cast<void (*)()>(address));
  return address != nullptr;
}

// The entry's own name is the exported name: stringising it rules out a
// misspelt export string.
#define LUMETRA_BIND(entry) BindEntry(library, #entry, bound.entry)

}  // namespace

HMODULE LoadServiceLibrary(const char* name) {
  // A missing library is an expected condition here, not one to ask the
  // user about.
  const UINT previous = ::SetErrorMode(SEM_NOOPENFILEERRORBOX);
  HMODULE library = ::LoadLibraryA(name);
  ::SetErrorMode(previous);
  return library;
}

bool BindSetupEntries(HMODULE library, ServiceTable& table) {
  ServiceTable bound;
  const bool complete = library != nullptr && LUMETRA_BIND(SetupDiGetClassDevsA) &&
                        LUMETRA_BIND(SetupDiEnumDeviceInterfaces) && LUMETRA_BIND(SetupDiGetDeviceInterfaceDetailA) &&
                        LUMETRA_BIND(SetupDiGetDeviceRegistryPropertyA) &&
                        LUMETRA_BIND(SetupDiDestroyDeviceInfoList);
  if (!complete) {
    ForgetSetupServices(table);
    return false;
  }
  table.SetupDiGetClassDevsA = bound.SetupDiGetClassDevsA;
  table.SetupDiEnumDeviceInterfaces = bound.SetupDiEnumDeviceInterfaces;
  table.SetupDiGetDeviceInterfaceDetailA = bound.SetupDiGetDeviceInterfaceDetailA;
  table.SetupDiGetDeviceRegistryPropertyA = bound.SetupDiGetDeviceRegistryPropertyA;
  table.SetupDiDestroyDeviceInfoList = bound.SetupDiDestroyDeviceInfoList;
  return true;
}


bool BindHidEntries(HMODULE library, ServiceTable& table) {
  ServiceTable bound;
  const bool complete = library != nullptr && LUMETRA_BIND(HidD_GetHidGuid) && LUMETRA_BIND(HidD_GetAttributes) &&
                        LUMETRA_BIND(HidD_GetPreparsedData) && LUMETRA_BIND(HidD_FreePreparsedData) &&
                        LUMETRA_BIND(HidP_GetCaps) && LUMETRA_BIND(HidD_GetProductString);
  if (!complete) {
    ForgetHidServices(table);
    return false;
  }
  table.HidD_GetHidGuid = bound.HidD_GetHidGuid;
  table.HidD_GetAttributes = bound.HidD_GetAttributes;
  table.HidD_GetPreparsedData = bound.HidD_GetPreparsedData;
  table.HidD_FreePreparsedData = bound.HidD_FreePreparsedData;
  table.HidP_GetCaps = bound.HidP_GetCaps;
  table.HidD_GetProductString = bound.HidD_GetProductString;
  return true;
}

#undef LUMETRA_BIND


void BindKernelFileEntries(ServiceTable& table) {
  table.CreateFileA = &::CreateFileA;
  table.CloseHandle = &::CloseHandle;
  table.ReadFile = &::ReadFile;
  table.WriteFile = &::WriteFile;
  table.ReadFileEx = &::ReadFileEx;
  table.SleepEx = &::SleepEx;
  table.GetOverlappedResult = &::GetOverlappedResult;
  table.CancelIo = &CancelIoOnDemand;
  table.GetLastError = &::GetLastError;
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

WindowsServiceProvider::WindowsServiceProvider(const char* setupLibrary, const char* hidLibrary)
    : setup_name_(setupLibrary), hid_name_(hidLibrary) {}

WindowsServiceProvider::~WindowsServiceProvider() {
  // Only reached by providers a test made; the program's lives to the end.
  if (setup_library_ != nullptr) ::FreeLibrary(setup_library_);
  if (hid_library_ != nullptr) ::FreeLibrary(hid_library_);
}

bool WindowsServiceProvider::LoadSetupServices(ServiceTable& table) {
  // Loaded already: bind again from the same module rather than taking a
  // second module reference that no Free would give back.
  if (setup_library_ == nullptr) setup_library_ = LoadServiceLibrary(setup_name_);
  if (BindSetupEntries(setup_library_, table)) return true;
  FreeSetupServices(table);
  return false;
}

void WindowsServiceProvider::FreeSetupServices(ServiceTable& table) {
  // Entries first: nothing may call into a library after it is gone.
  ForgetSetupServices(table);
  if (setup_library_ != nullptr) {
    ::FreeLibrary(setup_library_);
    setup_library_ = nullptr;
  }
}

bool WindowsServiceProvider::LoadHidServices(ServiceTable& table) {
  if (hid_library_ == nullptr) hid_library_ = LoadServiceLibrary(hid_name_);
  if (BindHidEntries(hid_library_, table)) return true;
  FreeHidServices(table);
  return false;
}

void WindowsServiceProvider::FreeHidServices(ServiceTable& table) {
  ForgetHidServices(table);
  if (hid_library_ != nullptr) {
    ::FreeLibrary(hid_library_);
    hid_library_ = nullptr;
  }
}

void WindowsServiceProvider::BindFileServices(ServiceTable& table) { BindKernelFileEntries(table); }

}  // namespace hid::windows

namespace hid {

ServiceProvider& PlatformServiceProvider() {
  // Never destroyed: unloading system libraries during process teardown,
  // in whatever order static destructors run, gains nothing.
  static auto* provider = new windows::WindowsServiceProvider();
  return *provider;
}

}  // namespace hid
