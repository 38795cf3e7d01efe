// Binding the service table from the real libraries and from libraries that
// lack entry points.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "hid/services_windows.h"

namespace {

using hid::ServiceTable;
using hid::windows::WindowsServiceProvider;

constexpr const char* kFakeLibrary = "lumetra_fake_services.dll";

void* Address(auto entry) { return reinterpret_cast<void*>(entry); }

// Every entry of a group with the name it is exported under.
std::vector<std::pair<std::string, void*>> SetupEntries(const ServiceTable& t) {
  return {{"SetupDiGetClassDevsA", Address(t.SetupDiGetClassDevsA)},
          {"SetupDiEnumDeviceInterfaces", Address(t.SetupDiEnumDeviceInterfaces)},
          {"SetupDiGetDeviceInterfaceDetailA", Address(t.SetupDiGetDeviceInterfaceDetailA)},
          {"SetupDiGetDeviceRegistryPropertyA", Address(t.SetupDiGetDeviceRegistryPropertyA)},
          {"SetupDiDestroyDeviceInfoList", Address(t.SetupDiDestroyDeviceInfoList)}};
}

std::vector<std::pair<std::string, void*>> HidEntries(const ServiceTable& t) {
  return {{"HidD_GetHidGuid", Address(t.HidD_GetHidGuid)},
          {"HidD_GetAttributes", Address(t.HidD_GetAttributes)},
          {"HidD_GetPreparsedData", Address(t.HidD_GetPreparsedData)},
          {"HidD_FreePreparsedData", Address(t.HidD_FreePreparsedData)},
          {"HidP_GetCaps", Address(t.HidP_GetCaps)},
          {"HidD_GetProductString", Address(t.HidD_GetProductString)}};
}

std::vector<std::pair<std::string, void*>> KernelEntries(const ServiceTable& t) {
  return {{"CreateFileA", Address(t.CreateFileA)}, {"CloseHandle", Address(t.CloseHandle)},
          {"ReadFile", Address(t.ReadFile)},       {"WriteFile", Address(t.WriteFile)},
          {"ReadFileEx", Address(t.ReadFileEx)},   {"SleepEx", Address(t.SleepEx)},
          {"GetOverlappedResult", Address(t.GetOverlappedResult)},
          {"GetLastError", Address(t.GetLastError)}};
}

// Each entry is the library's export of the same name.
void ExpectBoundFrom(HMODULE library, const std::vector<std::pair<std::string, void*>>& entries) {
  ASSERT_NE(library, nullptr);
  for (const auto& [name, address] : entries) {
    EXPECT_NE(address, nullptr) << name;
    EXPECT_EQ(address, reinterpret_cast<void*>(::GetProcAddress(library, name.c_str()))) << name;
  }
}

void ExpectAllNull(const std::vector<std::pair<std::string, void*>>& entries) {
  for (const auto& [name, address] : entries) EXPECT_EQ(address, nullptr) << name;
}

TEST(WindowsServiceBinding, PlatformProviderBindsEveryEntryFromTheSystemLibraries) {
  auto* provider = dynamic_cast<WindowsServiceProvider*>(&hid::PlatformServiceProvider());
  ASSERT_NE(provider, nullptr);

  ServiceTable table;
  ASSERT_TRUE(provider->LoadSetupServices(table));
  ASSERT_TRUE(provider->LoadHidServices(table));
  provider->BindFileServices(table);

  ExpectBoundFrom(::GetModuleHandleA("setupapi.dll"), SetupEntries(table));
  ExpectBoundFrom(::GetModuleHandleA("hid.dll"), HidEntries(table));
  // kernel32's exports may be forwarded elsewhere (kernelbase), so the
  // addresses are compared with what the program itself links against.
  for (const auto& [name, address] : KernelEntries(table)) EXPECT_NE(address, nullptr) << name;
  EXPECT_EQ(Address(table.CreateFileA), Address(&::CreateFileA));
  EXPECT_EQ(Address(table.ReadFileEx), Address(&::ReadFileEx));
  EXPECT_EQ(Address(table.GetOverlappedResult), Address(&::GetOverlappedResult));
  // CancelIo is looked up at each use, through a wrapper of our own.
  EXPECT_EQ(Address(table.CancelIo), Address(&hid::windows::CancelIoOnDemand));

  GUID guid{};
  table.HidD_GetHidGuid(&guid);
  EXPECT_EQ(guid.Data1, 0x4D1E55B2u);

  provider->FreeHidServices(table);
  provider->FreeSetupServices(table);
  ExpectAllNull(SetupEntries(table));
  ExpectAllNull(HidEntries(table));
  EXPECT_EQ(provider->SetupLibrary(), nullptr);
  EXPECT_EQ(provider->HidLibrary(), nullptr);
}

TEST(WindowsServiceBinding, OneMissingEntryFailsTheWholeGroupAndFreesTheLibrary) {
  // The fake library has every device-setup entry but lacks HidP_GetCaps.
  WindowsServiceProvider provider(kFakeLibrary, kFakeLibrary);
  WindowsServiceProvider real;
  ServiceTable table;
  // Entries left from an earlier binding must not survive a failed one.
  ASSERT_TRUE(real.LoadHidServices(table));

  EXPECT_FALSE(provider.LoadHidServices(table));
  ExpectAllNull(HidEntries(table));
  EXPECT_EQ(provider.HidLibrary(), nullptr);
  EXPECT_EQ(::GetModuleHandleA(kFakeLibrary), nullptr) << "a failed load keeps no reference";

  // The device-setup group binds from the same library in full.
  ASSERT_TRUE(provider.LoadSetupServices(table));
  ExpectBoundFrom(::GetModuleHandleA(kFakeLibrary), SetupEntries(table));
  // A second load binds again without taking a second reference: one free
  // unloads the library.
  ASSERT_TRUE(provider.LoadSetupServices(table));
  provider.FreeSetupServices(table);
  ExpectAllNull(SetupEntries(table));
  EXPECT_EQ(::GetModuleHandleA(kFakeLibrary), nullptr);

  real.FreeHidServices(table);
}

TEST(WindowsServiceBinding, LibraryWithoutTheEntriesOrMissingAltogetherBindsNothing) {
  ServiceTable table;
  EXPECT_FALSE(hid::windows::BindSetupEntries(::GetModuleHandleA("kernel32.dll"), table));
  EXPECT_FALSE(hid::windows::BindHidEntries(::GetModuleHandleA("kernel32.dll"), table));
  ExpectAllNull(SetupEntries(table));
  ExpectAllNull(HidEntries(table));

  WindowsServiceProvider swapped("HID.dll", "SetupApi.dll");
  EXPECT_FALSE(swapped.LoadSetupServices(table));
  EXPECT_FALSE(swapped.LoadHidServices(table));
  ExpectAllNull(SetupEntries(table));
  ExpectAllNull(HidEntries(table));

  WindowsServiceProvider missing("lumetra-no-such-library.dll", "lumetra-no-such-library.dll");
  EXPECT_FALSE(missing.LoadSetupServices(table));
  EXPECT_FALSE(missing.LoadHidServices(table));
  EXPECT_EQ(missing.SetupLibrary(), nullptr);
  ExpectAllNull(SetupEntries(table));
}

TEST(WindowsServiceBinding, LoadingRestoresTheCallersErrorMode) {
  const UINT original = ::GetErrorMode();
  ::SetErrorMode(SEM_FAILCRITICALERRORS);
  EXPECT_EQ(hid::windows::LoadServiceLibrary("lumetra-no-such-library.dll"), nullptr);
  EXPECT_EQ(::GetErrorMode(), static_cast<UINT>(SEM_FAILCRITICALERRORS));
  HMODULE setup = hid::windows::LoadServiceLibrary("SetupApi.dll");
  EXPECT_NE(setup, nullptr);
  EXPECT_EQ(::GetErrorMode(), static_cast<UINT>(SEM_FAILCRITICALERRORS));
  if (setup != nullptr) ::FreeLibrary(setup);
  ::SetErrorMode(original);
}

TEST(WindowsServiceBinding, CancelIoLookupFailsCleanlyWhenTheEntryIsAbsent) {
  ::SetLastError(0);
  EXPECT_FALSE(hid::windows::CancelIoThrough("kernel32.dll", "LumetraNoSuchEntry", INVALID_HANDLE_VALUE));
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
  EXPECT_FALSE(hid::windows::CancelIoThrough("lumetra-not-loaded.dll", "CancelIo", INVALID_HANDLE_VALUE));
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
  // Present, it is the system's CancelIo: a closed handle is refused as such.
  HANDLE closed = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(closed, nullptr);
  ::CloseHandle(closed);
  EXPECT_FALSE(hid::windows::CancelIoOnDemand(closed));
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

}  // namespace
