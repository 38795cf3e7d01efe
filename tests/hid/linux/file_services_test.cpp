// Opening nodes and exchanging reports synchronously, and which udev
// context the services use on which thread.
#include <dlfcn.h>

#include <chrono>
#include <future>
#include <thread>
#include <utility>

#include "hid/linux/class_guids.h"
#include "hid/linux/udev_library.h"
#include "tests/hid/linux/backend_fixture.h"

namespace lumetra::test {
namespace {

using namespace std::chrono_literals;

class FileServicesTest : public BackendTest {
 protected:
  std::vector<BYTE> Read(HANDLE handle, DWORD size) {
    std::vector<BYTE> buffer(size, 0xEE);
    DWORD count = 0;
    EXPECT_TRUE(table_.file.ReadFile(handle, buffer.data(), size, &count, nullptr)) << table_.file.GetLastError();
    buffer.resize(count);
    return buffer;
  }

  // A report read on another thread: its result and the error it left.
  // Returns once that read waits for a report.
  std::future<std::pair<BOOL, DWORD>> ReadElsewhere(HANDLE handle) {
    return StartBlockingCall([this, handle] {
      BYTE buffer[11];
      DWORD count = 0;
      const BOOL ok = table_.file.ReadFile(handle, buffer, sizeof buffer, &count, nullptr);
      return std::make_pair(ok, table_.file.GetLastError());
    });
  }
};

TEST_F(FileServicesTest, RequestAndAnswerKeepReportBoundariesAndTheIdByte) {
  auto stopwatch = testbed_.Plug(StopwatchSpec());
  stopwatch->SetWriteHandler([](std::span<const std::uint8_t> written) {
    return std::vector<virtual_hid::Report>{StopwatchAnswer(written[1] - 0xAA)};
  });
  HANDLE handle = Open(stopwatch->Node());
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  // Two requests before any read: the two answers stay two reports.
  for (BYTE slot : {0, 83}) {
    const BYTE request[2] = {0x00, static_cast<BYTE>(0xAA + slot)};
    DWORD written = 0;
    ASSERT_TRUE(table_.file.WriteFile(handle, request, 2, &written, nullptr));
    EXPECT_EQ(written, 2u);
  }
  const auto written = stopwatch->TakeWrittenReports();
  ASSERT_EQ(written.size(), 2u);
  EXPECT_EQ(written[1], (virtual_hid::Report{0x00, 0xFD}));  // the ID byte goes out as written
  for (int slot : {0, 83}) {
    const auto answer = Read(handle, 11);
    virtual_hid::Report expected{0x00};  // unnumbered: report ID 0 in front
    const auto data = StopwatchAnswer(slot);
    expected.insert(expected.end(), data.begin(), data.end());
    EXPECT_EQ(answer, expected) << slot;
  }
  EXPECT_TRUE(table_.file.CloseHandle(handle));
  EXPECT_FALSE(table_.file.CloseHandle(handle));
  EXPECT_EQ(table_.file.GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(FileServicesTest, NumberedReportsKeepTheirIdAndArePaddedToTheInputLength) {
  auto device = testbed_.Plug(NumberedSpec());
  HANDLE handle = Open(device->Node());
  device->QueueInputReport({0x01, 0xA1, 0xA2, 0xA3});
  device->QueueInputReport({0x02, 1, 2, 3, 4, 5, 6, 7});
  EXPECT_EQ(Read(handle, 8), (std::vector<BYTE>{0x01, 0xA1, 0xA2, 0xA3, 0, 0, 0, 0}));
  EXPECT_EQ(Read(handle, 64), (std::vector<BYTE>{0x02, 1, 2, 3, 4, 5, 6, 7}));
  table_.file.CloseHandle(handle);
}

TEST_F(FileServicesTest, ReportLengthsAreKeptAsWindowsKeepsThem) {
  auto stopwatch = testbed_.Plug(StopwatchSpec());
  HANDLE handle = Open(stopwatch->Node());
  // A read buffer too short for an input report is refused without losing it.
  stopwatch->QueueInputReport(StopwatchAnswer(5));
  BYTE buffer[12] = {0x00, 0xAA};
  DWORD count = 99;
  EXPECT_FALSE(table_.file.ReadFile(handle, buffer, 10, &count, nullptr));
  EXPECT_EQ(table_.file.GetLastError(), 1784u);  // ERROR_INVALID_USER_BUFFER
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(Read(handle, 11).at(1), StopwatchAnswer(5)[0]);
  // A write is one whole output report (2 bytes here), neither shorter nor
  // longer, with the same error; nothing reaches the device.
  for (const DWORD length : {0u, 1u, 3u, 11u}) {
    count = 99;
    EXPECT_FALSE(table_.file.WriteFile(handle, buffer, length, &count, nullptr)) << length;
    EXPECT_EQ(table_.file.GetLastError(), 1784u) << length;
    EXPECT_EQ(count, 0u);
  }
  EXPECT_TRUE(stopwatch->TakeWrittenReports().empty());
  table_.file.CloseHandle(handle);
}

TEST_F(FileServicesTest, QueryOnlyHandlesAnswerQueriesButMoveNoData) {
  auto stopwatch = testbed_.Plug(StopwatchSpec());
  HANDLE handle = Open(stopwatch->Node(), 0);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  HIDD_ATTRIBUTES attributes{};
  EXPECT_TRUE(table_.hid.HidD_GetAttributes(handle, &attributes));
  EXPECT_EQ(attributes.ProductID, 0xF67A);
  BYTE buffer[11] = {0, 0xAA};
  DWORD count = 0;
  EXPECT_FALSE(table_.file.WriteFile(handle, buffer, 2, &count, nullptr));
  EXPECT_EQ(table_.file.GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(table_.file.ReadFile(handle, buffer, 11, &count, nullptr));
  EXPECT_EQ(table_.file.GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_TRUE(stopwatch->TakeWrittenReports().empty());
  table_.file.CloseHandle(handle);

  // Read-only handles do not write either.
  handle = Open(stopwatch->Node(), GENERIC_READ);
  EXPECT_FALSE(table_.file.WriteFile(handle, buffer, 2, &count, nullptr));
  EXPECT_EQ(table_.file.GetLastError(), ERROR_ACCESS_DENIED);
  table_.file.CloseHandle(handle);
}

TEST_F(FileServicesTest, OpeningAMissingNodeFailsWithWindowsCodes) {
  EXPECT_EQ(Open("/dev/hidraw-none"), INVALID_HANDLE_VALUE);
  EXPECT_EQ(table_.file.GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(Open("/dev/hidraw-none", 0), INVALID_HANDLE_VALUE);
  EXPECT_EQ(table_.file.GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(FileServicesTest, ClosingTheHandleEndsABlockedRead) {
  auto stopwatch = testbed_.Plug(StopwatchSpec());
  HANDLE handle = Open(stopwatch->Node());
  auto reader = ReadElsewhere(handle);  // blocks: nothing to read
  EXPECT_TRUE(table_.file.CloseHandle(handle));
  ASSERT_EQ(reader.wait_for(5s), std::future_status::ready);
  const auto [ok, error] = reader.get();
  EXPECT_FALSE(ok);
  EXPECT_EQ(error, ERROR_OPERATION_ABORTED);
}

TEST_F(FileServicesTest, UnpluggedDevicesFailReadsAndQueries) {
  auto stopwatch = testbed_.Plug(StopwatchSpec());
  HANDLE handle = Open(stopwatch->Node());
  auto reader = ReadElsewhere(handle);
  testbed_.Unplug(*stopwatch);
  ASSERT_EQ(reader.wait_for(5s), std::future_status::ready);
  const auto [ok, error] = reader.get();
  EXPECT_FALSE(ok);
  EXPECT_EQ(error, ERROR_DEVICE_NOT_CONNECTED);
  HIDD_ATTRIBUTES attributes{};
  EXPECT_FALSE(table_.hid.HidD_GetAttributes(handle, &attributes));
  EXPECT_EQ(table_.file.GetLastError(), ERROR_DEVICE_NOT_CONNECTED);
  BYTE request[2] = {0, 0xAA};
  DWORD count = 0;
  EXPECT_FALSE(table_.file.WriteFile(handle, request, 2, &count, nullptr));
  table_.file.CloseHandle(handle);
}

TEST_F(FileServicesTest, LastErrorIsKeptPerThread) {
  EXPECT_EQ(Open("/dev/hidraw-none"), INVALID_HANDLE_VALUE);
  std::thread other([&] {
    EXPECT_FALSE(table_.file.CloseHandle(reinterpret_cast<HANDLE>(0x12345)));
    EXPECT_EQ(table_.file.GetLastError(), ERROR_INVALID_HANDLE);
  });
  other.join();
  EXPECT_EQ(table_.file.GetLastError(), ERROR_FILE_NOT_FOUND);
}

#ifdef LUMETRA_UDEV_THREAD_CHECK
TEST(FileServicesOnAnyThread, OpenAndReadWithoutTouchingTheSharedUdevContext) {
  // Loaded in libudev's place while nothing holds the library.
  hid::linux_backend::SetUdevLibraryName(LUMETRA_UDEV_THREAD_CHECK);
  hid::ServiceProvider& provider = hid::PlatformServiceProvider();
  hid::ServiceTable table;
  ASSERT_TRUE(provider.LoadSetupServices(table.setup));
  provider.BindFileServices(table.file);
  virtual_hid::Testbed testbed;
  auto stopwatch = testbed.Plug(StopwatchSpec());
  void* check = dlopen(LUMETRA_UDEV_THREAD_CHECK, RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(check, nullptr);
  auto foreignUses = reinterpret_cast<int (*)()>(dlsym(check, "lumetra_foreign_udev_context_uses"));
  ASSERT_NE(foreignUses, nullptr);

  // What a read thread does: open the node and start a read on it, while
  // the user-interface thread scans.
  std::thread reader([&] {
    HANDLE handle = table.file.CreateFileA(stopwatch->Node().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                           nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    BYTE buffer[11];
    OVERLAPPED overlapped{};
    EXPECT_TRUE(table.file.ReadFileEx(handle, buffer, sizeof buffer, &overlapped, [](DWORD, DWORD, OVERLAPPED*) {}));
    table.file.CloseHandle(handle);
    EXPECT_EQ(table.file.SleepEx(0, TRUE), WAIT_IO_COMPLETION);
  });
  HDEVINFO set = table.setup.SetupDiGetClassDevsA(&hid::linux_backend::kHidInterfaceClassGuid, nullptr, nullptr,
                                                  DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  reader.join();
  table.setup.SetupDiDestroyDeviceInfoList(set);
  EXPECT_EQ(foreignUses(), 0);
  dlclose(check);
  provider.FreeSetupServices(table.setup);
  hid::linux_backend::SetUdevLibraryName(nullptr);
}
#endif

}  // namespace
}  // namespace lumetra::test
