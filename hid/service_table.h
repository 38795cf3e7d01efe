// The table of operating-system services that the HID device layer calls.
//
// The layer never calls the device-setup, HID or file services directly: it
// goes through this table, whose entry points carry the names and contracts of
// the Windows services ("SetupApi.dll", "HID.dll", kernel32). The table is
// three groups, each loaded, bound and forgotten as a whole: a group is
// either complete or all null (`table.hid = {}` forgets one). Which backend
// fills them is chosen at build time (hid/windows/ binds the real libraries,
// hid/linux/ implements them over udev and hidraw); tests install a provider
// of their own with SetServiceProvider. A fourth group, the device holds,
// has no Windows library behind it: it is the layer's own service, with a
// backend per platform all the same.
#pragma once

#include "base/win32_types.h"

namespace hid {

struct ServiceTable {
  // Device-setup services ("SetupApi.dll").
  struct Setup {
    HDEVINFO(WINAPI* SetupDiGetClassDevsA)
    (const GUID* ClassGuid, const char* Enumerator, HWND hwndParent, DWORD Flags) = nullptr;
    BOOL(WINAPI* SetupDiEnumDeviceInterfaces)
    (HDEVINFO DeviceInfoSet, SP_DEVINFO_DATA* DeviceInfoData, const GUID* InterfaceClassGuid, DWORD MemberIndex,
     SP_DEVICE_INTERFACE_DATA* DeviceInterfaceData) = nullptr;
    BOOL(WINAPI* SetupDiGetDeviceInterfaceDetailA)
    (HDEVINFO DeviceInfoSet, SP_DEVICE_INTERFACE_DATA* DeviceInterfaceData,
     SP_DEVICE_INTERFACE_DETAIL_DATA_A* DeviceInterfaceDetailData, DWORD DeviceInterfaceDetailDataSize,
     DWORD* RequiredSize, SP_DEVINFO_DATA* DeviceInfoData) = nullptr;
    BOOL(WINAPI* SetupDiGetDeviceRegistryPropertyA)
    (HDEVINFO DeviceInfoSet, SP_DEVINFO_DATA* DeviceInfoData, DWORD Property, DWORD* PropertyRegDataType,
     BYTE* PropertyBuffer, DWORD PropertyBufferSize, DWORD* RequiredSize) = nullptr;
    BOOL(WINAPI* SetupDiDestroyDeviceInfoList)(HDEVINFO DeviceInfoSet) = nullptr;
  };

  // HID services ("HID.dll").
  struct Hid {
    void(WINAPI* HidD_GetHidGuid)(GUID* HidGuid) = nullptr;
    BOOLEAN(WINAPI* HidD_GetAttributes)(HANDLE HidDeviceObject, HIDD_ATTRIBUTES* Attributes) = nullptr;
    BOOLEAN(WINAPI* HidD_GetPreparsedData)(HANDLE HidDeviceObject, PHIDP_PREPARSED_DATA* PreparsedData) = nullptr;
    BOOLEAN(WINAPI* HidD_FreePreparsedData)(PHIDP_PREPARSED_DATA PreparsedData) = nullptr;
    NTSTATUS(WINAPI* HidP_GetCaps)(PHIDP_PREPARSED_DATA PreparsedData, HIDP_CAPS* Capabilities) = nullptr;
    BOOLEAN(WINAPI* HidD_GetProductString)(HANDLE HidDeviceObject, void* Buffer, ULONG BufferLength) = nullptr;
  };

  // File services (kernel32), always present.
  struct File {
    HANDLE(WINAPI* CreateFileA)
    (const char* lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode, SECURITY_ATTRIBUTES* lpSecurityAttributes,
     DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes, HANDLE hTemplateFile) = nullptr;
    BOOL(WINAPI* CloseHandle)(HANDLE hObject) = nullptr;
    BOOL(WINAPI* ReadFile)
    (HANDLE hFile, void* lpBuffer, DWORD nNumberOfBytesToRead, DWORD* lpNumberOfBytesRead,
     OVERLAPPED* lpOverlapped) = nullptr;
    BOOL(WINAPI* WriteFile)
    (HANDLE hFile, const void* lpBuffer, DWORD nNumberOfBytesToWrite, DWORD* lpNumberOfBytesWritten,
     OVERLAPPED* lpOverlapped) = nullptr;
    BOOL(WINAPI* ReadFileEx)
    (HANDLE hFile, void* lpBuffer, DWORD nNumberOfBytesToRead, OVERLAPPED* lpOverlapped,
     LPOVERLAPPED_COMPLETION_ROUTINE lpCompletionRoutine) = nullptr;
    DWORD(WINAPI* SleepEx)(DWORD dwMilliseconds, BOOL bAlertable) = nullptr;
    BOOL(WINAPI* GetOverlappedResult)
    (HANDLE hFile, OVERLAPPED* lpOverlapped, DWORD* lpNumberOfBytesTransferred, BOOL bWait) = nullptr;
    // Bound afresh at each use on Windows; FALSE when the system has none.
    BOOL(WINAPI* CancelIo)(HANDLE hFile) = nullptr;
    DWORD(WINAPI* GetLastError)() = nullptr;
  };

  // Device holds across processes, always present. Every program that opens
  // a device receives all of its input reports, and a device that answers
  // requests does not say which request an answer is for: two programs
  // exchanging with one device at once take each other's answers. A hold
  // keeps every other process's hold off the device until it is released,
  // and dies with the process that has it, however that process ends.
  struct Hold {
    // Takes the hold on the device at `DevicePath`, waiting at most
    // `dwMilliseconds` while another process has it. The hold's handle, or
    // INVALID_HANDLE_VALUE with the last error (GetLastError of the file
    // services) set: ERROR_TIMEOUT when another process still has it.
    // Released on the thread that took it (Windows ties it to that thread).
    HANDLE(WINAPI* HoldDevice)(const char* DevicePath, DWORD dwMilliseconds) = nullptr;
    BOOL(WINAPI* ReleaseDeviceHold)(HANDLE hHold) = nullptr;
  };

  Setup setup;
  Hid hid;
  File file;
  Hold hold;
};

// The entry points of each group by name, one a line, for the code that
// treats every entry of a group alike: binding them by their exported names,
// checking a group is complete.
#define LUMETRA_SETUP_SERVICES(ENTRY)      \
  ENTRY(SetupDiGetClassDevsA)              \
  ENTRY(SetupDiEnumDeviceInterfaces)       \
  ENTRY(SetupDiGetDeviceInterfaceDetailA)  \
  ENTRY(SetupDiGetDeviceRegistryPropertyA) \
  ENTRY(SetupDiDestroyDeviceInfoList)

#define LUMETRA_HID_SERVICES(ENTRY) \
  ENTRY(HidD_GetHidGuid)            \
  ENTRY(HidD_GetAttributes)         \
  ENTRY(HidD_GetPreparsedData)      \
  ENTRY(HidD_FreePreparsedData)     \
  ENTRY(HidP_GetCaps)               \
  ENTRY(HidD_GetProductString)

#define LUMETRA_FILE_SERVICES(ENTRY) \
  ENTRY(CreateFileA)                 \
  ENTRY(CloseHandle)                 \
  ENTRY(ReadFile)                    \
  ENTRY(WriteFile)                   \
  ENTRY(ReadFileEx)                  \
  ENTRY(SleepEx)                     \
  ENTRY(GetOverlappedResult)         \
  ENTRY(CancelIo)                    \
  ENTRY(GetLastError)

#define LUMETRA_HOLD_SERVICES(ENTRY) \
  ENTRY(HoldDevice)                  \
  ENTRY(ReleaseDeviceHold)

// For a backend whose functions carry the services' own names: the
// initializer of a whole group from the functions of those names where it
// is used, as in `table.setup = {LUMETRA_SETUP_SERVICES(LUMETRA_ENTRY_OF_SAME_NAME)};`.
#define LUMETRA_ENTRY_OF_SAME_NAME(entry) .entry = &entry,

// Whether every entry point of the group is bound.
bool Complete(const ServiceTable::Setup& group);
bool Complete(const ServiceTable::Hid& group);
bool Complete(const ServiceTable::File& group);
bool Complete(const ServiceTable::Hold& group);

// A backend that fills the table's groups. Loading binds the whole group
// or nothing: a failed load leaves the group all null. Freeing gives back
// what loading took; the group is forgotten with it.
class ServiceProvider {
 public:
  virtual ~ServiceProvider() = default;
  virtual bool LoadSetupServices(ServiceTable::Setup& group) = 0;
  virtual void FreeSetupServices(ServiceTable::Setup& group) = 0;
  virtual bool LoadHidServices(ServiceTable::Hid& group) = 0;
  virtual void FreeHidServices(ServiceTable::Hid& group) = 0;
  // The file services; bound once when the provider is installed.
  virtual void BindFileServices(ServiceTable::File& group) = 0;
  // The device holds, bound with the file services: the platform's own
  // unless a provider whose devices the system does not know has its own.
  virtual void BindHoldServices(ServiceTable::Hold& group);
};

// The platform's own backend, chosen at build time.
ServiceProvider& PlatformServiceProvider();
// The platform's device holds (the same for every provider of it).
ServiceTable::Hold PlatformHoldServices();

// Installs a provider (nullptr: the platform's). Only while no services are
// acquired; returns the provider that was installed before.
ServiceProvider* SetServiceProvider(ServiceProvider* provider);

// The table through which the layer calls the services.
ServiceTable& Services();

// Reference counted: only the first acquisition loads and binds; a failed
// load leaves no reference. The last release frees the library.
bool AcquireSetupServices();
void ReleaseSetupServices();

// Loads the HID services unless loaded; no count. Release frees them at once.
bool AcquireHidServices();
void ReleaseHidServices();
bool HidServicesAvailable();

}  // namespace hid
