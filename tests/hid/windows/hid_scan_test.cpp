// A scan of the HID interfaces present, end to end through the bound table,
// the way the controller and the device make it, on the devices of Wine's
// virtual HID bus (wine_hid_bus.h).
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "hid/windows/service_provider.h"
#include "tests/hid/windows/wine_hid_bus.h"
#include "tests/support/interface_scan.h"

namespace {

using hid::ServiceTable;
using lumetra::test::kHidInterfaceClass;
using lumetra::test::ScanInterfaces;
using lumetra::test::ScannedInterface;

// The records' sizes, which their size fields must give: the fixed part of
// the detail record is the size field and the first path character, packed
// on 32-bit Windows (5) and padded to the record's alignment on 64-bit (8);
// the interface and device records end in a pointer-sized field.
constexpr bool k64Bit = sizeof(void*) == 8;
static_assert(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A) == (k64Bit ? 8 : 5));
static_assert(sizeof(SP_DEVICE_INTERFACE_DATA) == (k64Bit ? 32 : 28));
static_assert(sizeof(SP_DEVINFO_DATA) == (k64Bit ? 32 : 28));
// The sizes a program of the other bitness gives, which the system refuses.
constexpr DWORD kOtherBitnessDetailSize = k64Bit ? 5 : 8;
constexpr DWORD kOtherBitnessRecordSize = k64Bit ? 28 : 32;

constexpr DWORD kPresentInterfaces = DIGCF_PRESENT | DIGCF_DEVICEINTERFACE;

class WindowsHidScan : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(provider_.LoadSetupServices(t_.setup));
    ASSERT_TRUE(provider_.LoadHidServices(t_.hid));
    provider_.BindFileServices(t_.file);
    t_.hid.HidD_GetHidGuid(&guid_);
    set_ = t_.setup.SetupDiGetClassDevsA(&guid_, nullptr, nullptr, kPresentInterfaces);
    ASSERT_NE(set_, INVALID_HANDLE_VALUE);
  }
  void TearDown() override {
    if (set_ != nullptr && set_ != INVALID_HANDLE_VALUE) t_.setup.SetupDiDestroyDeviceInfoList(set_);
    provider_.FreeHidServices(t_.hid);
    provider_.FreeSetupServices(t_.setup);
  }

  // The interfaces of the set, up to the one the enumeration refuses with
  // ERROR_NO_MORE_ITEMS.
  std::vector<ScannedInterface> Scan(HDEVINFO set) {
    DWORD end = ERROR_SUCCESS;
    std::vector<ScannedInterface> found = ScanInterfaces(t_, set, guid_, &end);
    EXPECT_EQ(end, static_cast<DWORD>(ERROR_NO_MORE_ITEMS));
    return found;
  }

  // The interfaces of the fixture's set, as many as the bus presents.
  std::vector<ScannedInterface> Present() {
    std::vector<ScannedInterface> found = Scan(set_);
    EXPECT_EQ(static_cast<int>(found.size()), wintest::ExpectedInterfaces());
    return found;
  }

  hid::windows::WindowsServiceProvider provider_;
  ServiceTable t_;
  GUID guid_{};
  HDEVINFO set_ = nullptr;
};

TEST_F(WindowsHidScan, InterfacesPresentMatchTheBus) {
  EXPECT_EQ(static_cast<int>(Scan(set_).size()), wintest::ExpectedInterfaces());
}

TEST_F(WindowsHidScan, EveryInterfaceYieldsPathPropertiesIdentityCapsAndName) {
  EXPECT_EQ(std::memcmp(&guid_, &kHidInterfaceClass, sizeof guid_), 0);

  const auto interfaces = Present();
  for (std::size_t n = 0; n < interfaces.size(); ++n) {
    SCOPED_TRACE(testing::Message() << "interface " << n);
    SP_DEVICE_INTERFACE_DATA record = interfaces[n].record;
    // Size query: fails, giving the size.
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    DWORD needed = 0;
    EXPECT_FALSE(t_.setup.SetupDiGetDeviceInterfaceDetailA(set_, &record, nullptr, 0, &needed, &device));
    ASSERT_EQ(t_.file.GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    ASSERT_GT(needed, offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) + 1);

    std::vector<std::byte> buffer(needed);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer.data());
    // The other bitness's size of the fixed part is refused.
    detail->cbSize = kOtherBitnessDetailSize;
    EXPECT_FALSE(t_.setup.SetupDiGetDeviceInterfaceDetailA(set_, &record, detail, needed, nullptr, &device));
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    ASSERT_TRUE(t_.setup.SetupDiGetDeviceInterfaceDetailA(set_, &record, detail, needed, nullptr, &device));
    const std::string path = detail->DevicePath;
    SCOPED_TRACE(path);
    EXPECT_EQ(path.rfind("\\\\?\\", 0), 0u);

    // A registry property into a cleared buffer.
    char hardwareIds[16384] = {};
    DWORD type = 0;
    EXPECT_TRUE(t_.setup.SetupDiGetDeviceRegistryPropertyA(
        set_, &device, SPDRP_HARDWAREID, &type, reinterpret_cast<BYTE*>(hardwareIds), sizeof hardwareIds, nullptr));
    EXPECT_EQ(type, static_cast<DWORD>(REG_MULTI_SZ));
    EXPECT_EQ(std::string(hardwareIds).rfind("HID\\", 0), 0u) << hardwareIds;

    // Opened for reading and writing, or for queries only.
    HANDLE handle = t_.file.CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
      handle =
          t_.file.CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);

    HIDD_ATTRIBUTES attributes{};
    attributes.Size = sizeof attributes;
    EXPECT_TRUE(t_.hid.HidD_GetAttributes(handle, &attributes));

    PHIDP_PREPARSED_DATA preparsed = nullptr;
    ASSERT_TRUE(t_.hid.HidD_GetPreparsedData(handle, &preparsed));
    HIDP_CAPS caps;
    std::memset(&caps, 0xA5, sizeof caps);
    EXPECT_EQ(t_.hid.HidP_GetCaps(preparsed, &caps), HIDP_STATUS_SUCCESS);
    EXPECT_NE(caps.UsagePage, 0xA5A5);
    EXPECT_TRUE(t_.hid.HidD_FreePreparsedData(preparsed));

    WCHAR product[254] = {};
    EXPECT_TRUE(t_.hid.HidD_GetProductString(handle, product, sizeof product));
    EXPECT_NE(product[0], 0) << "a product name";

    EXPECT_TRUE(t_.file.CloseHandle(handle));
  }
}

// The other bitness's size of an interface record is refused as well: the
// records' size fields must be sizeof of the records.
TEST_F(WindowsHidScan, InterfaceRecordWithTheOtherBitnessSizeIsRefused) {
  ASSERT_FALSE(Scan(set_).empty()) << "needs an interface to enumerate: Wine's virtual HID bus";
  SP_DEVICE_INTERFACE_DATA record{};
  record.cbSize = kOtherBitnessRecordSize;
  EXPECT_FALSE(t_.setup.SetupDiEnumDeviceInterfaces(set_, nullptr, &guid_, 0, &record));
}

// The device node is what scans compare devices by: distinct per interface
// and the same in the next scan, or every re-scan would report each device
// as gone and arrived again.
TEST_F(WindowsHidScan, DeviceNodesTellInterfacesApartAndLastFromScanToScan) {
  auto nodes = [this](HDEVINFO set) {
    std::map<std::string, DWORD> byPath;
    for (const ScannedInterface& scanned : Scan(set)) {
      EXPECT_FALSE(scanned.path.empty());
      byPath[scanned.path] = scanned.dev_inst;
    }
    return byPath;
  };
  const auto first = nodes(set_);
  EXPECT_EQ(static_cast<int>(first.size()), wintest::ExpectedInterfaces());
  std::set<DWORD> distinct;
  for (const auto& [path, node] : first) distinct.insert(node);
  EXPECT_EQ(distinct.size(), first.size());

  // Each scan frees its set before the next one is made. (Wine numbers the
  // device nodes of each set anew, so two sets alive at once disagree.)
  t_.setup.SetupDiDestroyDeviceInfoList(set_);
  set_ = nullptr;
  HDEVINFO again = t_.setup.SetupDiGetClassDevsA(&guid_, nullptr, nullptr, kPresentInterfaces);
  ASSERT_NE(again, INVALID_HANDLE_VALUE);
  EXPECT_EQ(nodes(again), first);
  t_.setup.SetupDiDestroyDeviceInfoList(again);
}

void WINAPI CountCompletion(DWORD error, DWORD, OVERLAPPED* overlapped) {
  auto* errors = static_cast<std::vector<DWORD>*>(overlapped->hEvent);
  errors->push_back(error);
}

// What the read thread does with a device nobody types on: one overlapped
// read of an input report outstanding, waits that time out, and the read
// cancelled when the thread is told to end.
TEST_F(WindowsHidScan, AnOutstandingInputReportReadTimesOutAndIsCancelled) {
  int tried = 0;
  for (const ScannedInterface& scanned : Present()) {
    const std::string& path = scanned.path;
    SCOPED_TRACE(path);
    HANDLE query =
        t_.file.CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(query, INVALID_HANDLE_VALUE);
    PHIDP_PREPARSED_DATA preparsed = nullptr;
    HIDP_CAPS caps{};
    if (t_.hid.HidD_GetPreparsedData(query, &preparsed)) {
      t_.hid.HidP_GetCaps(preparsed, &caps);
      t_.hid.HidD_FreePreparsedData(preparsed);
    }
    t_.file.CloseHandle(query);
    if (caps.InputReportByteLength == 0) continue;  // nothing to read from it
    ++tried;

    HANDLE reader = t_.file.CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    std::vector<BYTE> report(caps.InputReportByteLength);
    std::vector<DWORD> completions;
    OVERLAPPED overlapped{};
    overlapped.hEvent = &completions;
    ASSERT_TRUE(
        t_.file.ReadFileEx(reader, report.data(), static_cast<DWORD>(report.size()), &overlapped, &CountCompletion));
    EXPECT_EQ(t_.file.SleepEx(30, TRUE), 0u);
    EXPECT_EQ(t_.file.SleepEx(30, TRUE), 0u);
    EXPECT_TRUE(completions.empty());

    EXPECT_TRUE(t_.file.CancelIo(reader));
    // Bounded: a completion that never came would otherwise leave the
    // OVERLAPPED to be written after this frame is gone.
    for (int i = 0; i < 50 && completions.empty(); ++i) t_.file.SleepEx(100, TRUE);
    ASSERT_EQ(completions.size(), 1u);
    EXPECT_EQ(completions[0], static_cast<DWORD>(ERROR_OPERATION_ABORTED));
    t_.file.CloseHandle(reader);
  }
  if (wintest::ExpectedInterfaces() > 0) {
    EXPECT_GE(tried, 1) << "the virtual keyboard has input reports";
  }
}

}  // namespace
