// Binding the service table from the real libraries and from libraries that
// lack entry points.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "hid/windows/service_groups.h"
#include "hid/windows/service_provider.h"

namespace {

using hid::ServiceTable;
using hid::windows::WindowsServiceProvider;

constexpr const char* kFakeLibrary = "lumetra_fake_services.dll";

void* Address(auto entry) { return reinterpret_cast<void*>(entry); }

// Every entry of a group with the name it is exported under.
using NamedEntries = std::vector<std::pair<std::string, void*>>;
#define LUMETRA_NAMED_ENTRY(entry) {#entry, Address(group.entry)},
NamedEntries Named(const ServiceTable::Setup& group) { return {LUMETRA_SETUP_SERVICES(LUMETRA_NAMED_ENTRY)}; }
NamedEntries Named(const ServiceTable::Hid& group) { return {LUMETRA_HID_SERVICES(LUMETRA_NAMED_ENTRY)}; }
NamedEntries Named(const ServiceTable::File& group) { return {LUMETRA_FILE_SERVICES(LUMETRA_NAMED_ENTRY)}; }
#undef LUMETRA_NAMED_ENTRY

// Each entry is the library's export of the same name.
void ExpectBoundFrom(HMODULE library, const NamedEntries& entries) {
  ASSERT_NE(library, nullptr);
  for (const auto& [name, address] : entries) {
    EXPECT_NE(address, nullptr) << name;
    EXPECT_EQ(address, reinterpret_cast<void*>(::GetProcAddress(library, name.c_str()))) << name;
  }
}

void ExpectAllNull(const NamedEntries& entries) {
  for (const auto& [name, address] : entries) EXPECT_EQ(address, nullptr) << name;
}

TEST(WindowsServiceBinding, PlatformProviderBindsEveryEntryFromTheSystemLibraries) {
  auto* provider = dynamic_cast<WindowsServiceProvider*>(&hid::PlatformServiceProvider());
  ASSERT_NE(provider, nullptr);

  ServiceTable table;
  ASSERT_TRUE(provider->LoadSetupServices(table.setup));
  ASSERT_TRUE(provider->LoadHidServices(table.hid));
  provider->BindFileServices(table.file);

  ExpectBoundFrom(::GetModuleHandleA("setupapi.dll"), Named(table.setup));
  ExpectBoundFrom(::GetModuleHandleA("hid.dll"), Named(table.hid));
  // kernel32's exports may be forwarded elsewhere (kernelbase), so the
  // addresses are compared with what the program itself links against.
  for (const auto& [name, address] : Named(table.file)) EXPECT_NE(address, nullptr) << name;
  EXPECT_EQ(Address(table.file.CreateFileA), Address(&::CreateFileA));
  EXPECT_EQ(Address(table.file.ReadFileEx), Address(&::ReadFileEx));
  EXPECT_EQ(Address(table.file.GetOverlappedResult), Address(&::GetOverlappedResult));
  // CancelIo is looked up at each use, through a wrapper of our own.
  EXPECT_EQ(Address(table.file.CancelIo), Address(&hid::windows::CancelIoOnDemand));

  GUID guid{};
  table.hid.HidD_GetHidGuid(&guid);
  EXPECT_EQ(guid.Data1, 0x4D1E55B2u);

  provider->FreeHidServices(table.hid);
  provider->FreeSetupServices(table.setup);
  ExpectAllNull(Named(table.setup));
  ExpectAllNull(Named(table.hid));
  EXPECT_EQ(provider->SetupLibrary(), nullptr);
  EXPECT_EQ(provider->HidLibrary(), nullptr);
}

TEST(WindowsServiceBinding, OneMissingEntryFailsTheWholeGroupAndFreesTheLibrary) {
  // The fake library has every device-setup entry but lacks HidP_GetCaps.
  WindowsServiceProvider provider(kFakeLibrary, kFakeLibrary);
  WindowsServiceProvider real;
  ServiceTable table;
  // Entries left from an earlier binding must not survive a failed one.
  ASSERT_TRUE(real.LoadHidServices(table.hid));

  EXPECT_FALSE(provider.LoadHidServices(table.hid));
  ExpectAllNull(Named(table.hid));
  EXPECT_EQ(provider.HidLibrary(), nullptr);
  EXPECT_EQ(::GetModuleHandleA(kFakeLibrary), nullptr) << "a failed load keeps no reference";

  // The device-setup group binds from the same library in full.
  ASSERT_TRUE(provider.LoadSetupServices(table.setup));
  ExpectBoundFrom(::GetModuleHandleA(kFakeLibrary), Named(table.setup));
  // A second load binds again without taking a second reference: one free
  // unloads the library.
  ASSERT_TRUE(provider.LoadSetupServices(table.setup));
  provider.FreeSetupServices(table.setup);
  ExpectAllNull(Named(table.setup));
  EXPECT_EQ(::GetModuleHandleA(kFakeLibrary), nullptr);

  real.FreeHidServices(table.hid);
}

TEST(WindowsServiceBinding, LibraryWithoutTheEntriesOrMissingAltogetherBindsNothing) {
  ServiceTable table;
  EXPECT_FALSE(hid::windows::BindSetupServices(::GetModuleHandleA("kernel32.dll"), table.setup));
  EXPECT_FALSE(hid::windows::BindHidServices(::GetModuleHandleA("kernel32.dll"), table.hid));
  ExpectAllNull(Named(table.setup));
  ExpectAllNull(Named(table.hid));

  WindowsServiceProvider swapped("HID.dll", "SetupApi.dll");
  EXPECT_FALSE(swapped.LoadSetupServices(table.setup));
  EXPECT_FALSE(swapped.LoadHidServices(table.hid));
  ExpectAllNull(Named(table.setup));
  ExpectAllNull(Named(table.hid));

  WindowsServiceProvider missing("lumetra-no-such-library.dll", "lumetra-no-such-library.dll");
  EXPECT_FALSE(missing.LoadSetupServices(table.setup));
  EXPECT_FALSE(missing.LoadHidServices(table.hid));
  EXPECT_EQ(missing.SetupLibrary(), nullptr);
  ExpectAllNull(Named(table.setup));
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
