// The table of operating-system services that the HID device layer calls.
//
// The layer never calls the device-setup, HID or file services directly: it
// goes through this table, whose entry points carry the names and contracts of
// the Windows services ("SetupApi.dll", "HID.dll", kernel32). Which backend
// fills the table is chosen at build time (services_windows.cpp binds the real
// DLLs, services_linux.cpp implements them over udev and hidraw); tests
// install a provider of their own with SetServiceProvider.
#pragma once

#include "base/win32_types.h"

namespace hid {

struct ServiceTable {
  // Device-setup services ("SetupApi.dll").
  HDEVINFO(WINAPI* SetupDiGetClassDevsA)(const GUID* ClassGuid, const char* Enumerator, HWND hwndParent,
                                         DWORD Flags) = nullptr;
  BOOL(WINAPI* SetupDiEnumDeviceInterfaces)(HDEVINFO DeviceInfoSet, SP_DEVINFO_DATA* DeviceInfoData,
                                            const GUID* InterfaceClassGuid, DWORD MemberIndex,
                                            SP_DEVICE_INTERFACE_DATA* DeviceInterfaceData) = nullptr;
  BOOL(WINAPI* SetupDiGetDeviceInterfaceDetailA)(HDEVINFO DeviceInfoSet,
                                                 SP_DEVICE_INTERFACE_DATA* DeviceInterfaceData,
                                                 SP_DEVICE_INTERFACE_DETAIL_DATA_A* DeviceInterfaceDetailData,
                                                 DWORD DeviceInterfaceDetailDataSize, DWORD* RequiredSize,
                                                 SP_DEVINFO_DATA* DeviceInfoData) = nullptr;
  BOOL(WINAPI* SetupDiGetDeviceRegistryPropertyA)(HDEVINFO DeviceInfoSet, SP_DEVINFO_DATA* DeviceInfoData,
                                                  DWORD Property, DWORD* PropertyRegDataType,
                                                  BYTE* PropertyBuffer, DWORD PropertyBufferSize,
                                                  DWORD* RequiredSize) = nullptr;
  BOOL(WINAPI* SetupDiDestroyDeviceInfoList)(HDEVINFO DeviceInfoSet) = nullptr;

  // HID services ("HID.dll").
  void(WINAPI* HidD_GetHidGuid)(GUID* HidGuid) = nullptr;
  BOOLEAN(WINAPI* HidD_GetAttributes)(HANDLE HidDeviceObject, HIDD_ATTRIBUTES* Attributes) = nullptr;
  BOOLEAN(WINAPI* HidD_GetPreparsedData)(HANDLE HidDeviceObject, PHIDP_PREPARSED_DATA* PreparsedData) = nullptr;
  BOOLEAN(WINAPI* HidD_FreePreparsedData)(PHIDP_PREPARSED_DATA PreparsedData) = nullptr;
  NTSTATUS(WINAPI* HidP_GetCaps)(PHIDP_PREPARSED_DATA PreparsedData, HIDP_CAPS* Capabilities) = nullptr;
  BOOLEAN(WINAPI* HidD_GetProductString)(HANDLE HidDeviceObject, void* Buffer, ULONG BufferLength) = nullptr;

  // File services (kernel32), always present.
  HANDLE(WINAPI* CreateFileA)(const char* lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                              SECURITY_ATTRIBUTES* lpSecurityAttributes, DWORD dwCreationDisposition,
                              DWORD dwFlagsAndAttributes, HANDLE hTemplateFile) = nullptr;
  BOOL(WINAPI* CloseHandle)(HANDLE hObject) = nullptr;
  BOOL(WINAPI* ReadFile)(HANDLE hFile, void* lpBuffer, DWORD nNumberOfBytesToRead, DWORD* lpNumberOfBytesRead,
                         OVERLAPPED* lpOverlapped) = nullptr;
  BOOL(WINAPI* WriteFile)(HANDLE hFile, const void* lpBuffer, DWORD nNumberOfBytesToWrite,
                          DWORD* lpNumberOfBytesWritten, OVERLAPPED* lpOverlapped) = nullptr;
  BOOL(WINAPI* ReadFileEx)(HANDLE hFile, void* lpBuffer, DWORD nNumberOfBytesToRead, OVERLAPPED* lpOverlapped,
                           LPOVERLAPPED_COMPLETION_ROUTINE lpCompletionRoutine) = nullptr;
  DWORD(WINAPI* SleepEx)(DWORD dwMilliseconds, BOOL bAlertable) = nullptr;
  BOOL(WINAPI* GetOverlappedResult)(HANDLE hFile, OVERLAPPED* lpOverlapped, DWORD* lpNumberOfBytesTransferred,
                                    BOOL bWait) = nullptr;
  // Bound afresh at each use on Windows; FALSE when the system has none.
  BOOL(WINAPI* CancelIo)(HANDLE hFile) = nullptr;
  DWORD(WINAPI* GetLastError)() = nullptr;
};

// Null every entry point of one group: what a failed or released load leaves.
void ForgetSetupServices(ServiceTable& table);
void ForgetHidServices(ServiceTable& table);

// A backend that fills the table. Loading binds every entry point of its
// group or none: a failed load leaves the group's entries null.
class ServiceProvider {
 public:
  virtual ~ServiceProvider() = default;
  virtual bool LoadSetupServices(ServiceTable& table) = 0;
  virtual void FreeSetupServices(ServiceTable& table) = 0;
  virtual bool LoadHidServices(ServiceTable& table) = 0;
  virtual void FreeHidServices(ServiceTable& table) = 0;
  // The file services; bound once when the provider is installed.
  virtual void BindFileServices(ServiceTable& table) = 0;
};

// The platform's own backend, chosen at build time.
ServiceProvider& PlatformServiceProvider();

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
