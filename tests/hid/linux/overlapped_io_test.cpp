// Overlapped reads: ReadFileEx, alertable SleepEx, GetOverlappedResult and
// CancelIo.
#include <chrono>
#include <future>
#include <thread>
#include <vector>

#include "tests/hid/linux/backend_fixture.h"

namespace lumetra::test {
namespace {

using namespace std::chrono_literals;

struct Completion {
  DWORD error;
  DWORD bytes;
  OVERLAPPED* overlapped;
};

thread_local std::vector<Completion> t_completions;

void WINAPI Record(DWORD error, DWORD bytes, OVERLAPPED* overlapped) {
  t_completions.push_back({error, bytes, overlapped});
}

class OverlappedIoTest : public BackendTest {
 protected:
  void SetUp() override {
    BackendTest::SetUp();
    t_completions.clear();
    stopwatch_ = testbed_.Plug(StopwatchSpec());
    handle_ = Open(stopwatch_->Node(), GENERIC_READ);
    ASSERT_NE(handle_, INVALID_HANDLE_VALUE);
  }
  void TearDown() override {
    table_.file.CloseHandle(handle_);
    BackendTest::TearDown();
  }

  std::shared_ptr<virtual_hid::HidrawDevice> stopwatch_;
  HANDLE handle_ = nullptr;
};

TEST_F(OverlappedIoTest, ACompletionRunsOnlyInAnAlertableWait) {
  BYTE buffer[11] = {};
  OVERLAPPED overlapped{};
  ASSERT_TRUE(table_.file.ReadFileEx(handle_, buffer, sizeof buffer, &overlapped, &Record));
  DWORD bytes = 0;
  EXPECT_FALSE(table_.file.GetOverlappedResult(handle_, &overlapped, &bytes, FALSE));
  EXPECT_EQ(table_.file.GetLastError(), ERROR_IO_INCOMPLETE);

  // Nothing arrives: the wait times out.
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(table_.file.SleepEx(60, TRUE), 0u);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 55ms);
  EXPECT_TRUE(t_completions.empty());

  stopwatch_->QueueInputReport(StopwatchAnswer(7));
  // A non-alertable sleep runs no completion.
  EXPECT_EQ(table_.file.SleepEx(20, FALSE), 0u);
  EXPECT_TRUE(t_completions.empty());
  EXPECT_EQ(table_.file.SleepEx(5000, TRUE), WAIT_IO_COMPLETION);
  ASSERT_EQ(t_completions.size(), 1u);
  EXPECT_EQ(t_completions[0].error, ERROR_SUCCESS);
  EXPECT_EQ(t_completions[0].bytes, 11u);
  EXPECT_EQ(t_completions[0].overlapped, &overlapped);
  EXPECT_TRUE(table_.file.GetOverlappedResult(handle_, &overlapped, &bytes, FALSE));
  EXPECT_EQ(bytes, 11u);
  EXPECT_EQ(buffer[0], 0);
  EXPECT_EQ(buffer[1], StopwatchAnswer(7)[0]);
  EXPECT_EQ(buffer[10], StopwatchAnswer(7)[9]);

  // With no read outstanding, an alertable wait is a plain time-out.
  EXPECT_EQ(table_.file.SleepEx(10, TRUE), 0u);
}

TEST_F(OverlappedIoTest, CancelIoAbortsThePendingReadAtTheNextAlertableWait) {
  BYTE buffer[11] = {};
  OVERLAPPED overlapped{};
  ASSERT_TRUE(table_.file.ReadFileEx(handle_, buffer, sizeof buffer, &overlapped, &Record));
  EXPECT_TRUE(table_.file.CancelIo(handle_));
  EXPECT_TRUE(t_completions.empty());  // not before the wait
  EXPECT_EQ(table_.file.SleepEx(0, TRUE), WAIT_IO_COMPLETION);
  ASSERT_EQ(t_completions.size(), 1u);
  EXPECT_EQ(t_completions[0].error, ERROR_OPERATION_ABORTED);
  EXPECT_EQ(t_completions[0].bytes, 0u);
  DWORD bytes = 99;
  EXPECT_FALSE(table_.file.GetOverlappedResult(handle_, &overlapped, &bytes, FALSE));
  EXPECT_EQ(table_.file.GetLastError(), ERROR_OPERATION_ABORTED);
  EXPECT_EQ(bytes, 0u);

  // The report that comes later is still there for the next read.
  stopwatch_->QueueInputReport(StopwatchAnswer(1));
  ASSERT_TRUE(table_.file.ReadFileEx(handle_, buffer, sizeof buffer, &overlapped, &Record));
  EXPECT_EQ(table_.file.SleepEx(5000, TRUE), WAIT_IO_COMPLETION);
  EXPECT_EQ(t_completions.back().bytes, 11u);
}

TEST_F(OverlappedIoTest, CancelIoLeavesOtherThreadsReadsAlone) {
  auto reader = StartBlockingCall([&] {
    BYTE buffer[11] = {};
    OVERLAPPED overlapped{};
    EXPECT_TRUE(table_.file.ReadFileEx(handle_, buffer, sizeof buffer, &overlapped, &Record));
    const DWORD result = table_.file.SleepEx(5000, TRUE);
    return std::make_pair(result, t_completions.empty() ? 0xFFFFFFFFu : t_completions[0].error);
  });
  EXPECT_TRUE(table_.file.CancelIo(handle_));
  EXPECT_EQ(reader.wait_for(100ms), std::future_status::timeout);
  stopwatch_->QueueInputReport(StopwatchAnswer(2));
  const auto [result, error] = reader.get();
  EXPECT_EQ(result, WAIT_IO_COMPLETION);
  EXPECT_EQ(error, ERROR_SUCCESS);
}

TEST_F(OverlappedIoTest, ClosingTheHandleCompletesAnotherThreadsPendingRead) {
  // What unplugging does to a running background reader: the user-interface
  // thread closes the read handle while the reader waits.
  auto reader = StartBlockingCall([&] {
    BYTE buffer[11] = {};
    OVERLAPPED overlapped{};
    EXPECT_TRUE(table_.file.ReadFileEx(handle_, buffer, sizeof buffer, &overlapped, &Record));
    DWORD result;
    do {
      result = table_.file.SleepEx(100, TRUE);
    } while (result != WAIT_IO_COMPLETION);
    return t_completions.at(0).error;
  });
  EXPECT_TRUE(table_.file.CloseHandle(handle_));
  ASSERT_EQ(reader.wait_for(5s), std::future_status::ready);
  EXPECT_EQ(reader.get(), ERROR_OPERATION_ABORTED);
  handle_ = nullptr;
  BYTE buffer[11];
  OVERLAPPED overlapped{};
  EXPECT_FALSE(table_.file.ReadFileEx(nullptr, buffer, sizeof buffer, &overlapped, &Record));
  EXPECT_EQ(table_.file.GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(OverlappedIoTest, WaitingForTheResultLeavesTheRoutineForTheNextAlertableWait) {
  BYTE buffer[11] = {};
  OVERLAPPED overlapped{};
  ASSERT_TRUE(table_.file.ReadFileEx(handle_, buffer, sizeof buffer, &overlapped, &Record));
  // The answer comes once this thread waits for it.
  std::thread device([&, waiter = gettid()] {
    EXPECT_TRUE(WaitUntilPolling(waiter, 5s));
    stopwatch_->QueueInputReport(StopwatchAnswer(4));
  });
  DWORD bytes = 0;
  EXPECT_TRUE(table_.file.GetOverlappedResult(handle_, &overlapped, &bytes, TRUE));
  device.join();
  EXPECT_EQ(bytes, 11u);
  EXPECT_TRUE(t_completions.empty());
  EXPECT_EQ(table_.file.SleepEx(0, TRUE), WAIT_IO_COMPLETION);
  EXPECT_EQ(t_completions.size(), 1u);
}

TEST_F(OverlappedIoTest, UnpluggingCompletesThePendingReadWithDeviceNotConnected) {
  BYTE buffer[11] = {};
  OVERLAPPED overlapped{};
  ASSERT_TRUE(table_.file.ReadFileEx(handle_, buffer, sizeof buffer, &overlapped, &Record));
  testbed_.Unplug(*stopwatch_);
  EXPECT_EQ(table_.file.SleepEx(5000, TRUE), WAIT_IO_COMPLETION);
  ASSERT_EQ(t_completions.size(), 1u);
  EXPECT_EQ(t_completions[0].error, ERROR_DEVICE_NOT_CONNECTED);
  // Later reads end the same way.
  ASSERT_TRUE(table_.file.ReadFileEx(handle_, buffer, sizeof buffer, &overlapped, &Record));
  EXPECT_EQ(table_.file.SleepEx(5000, TRUE), WAIT_IO_COMPLETION);
  EXPECT_EQ(t_completions.back().error, ERROR_DEVICE_NOT_CONNECTED);
}

TEST_F(OverlappedIoTest, ARoutineMayStartTheNextRead) {
  static OVERLAPPED overlapped{};
  static BYTE buffer[11];
  static hid::ServiceTable* table;
  static HANDLE handle;
  table = &table_;
  handle = handle_;
  static int reads;
  reads = 0;
  auto chain = [](DWORD, DWORD, OVERLAPPED*) {
    if (++reads < 3) table->file.ReadFileEx(handle, buffer, sizeof buffer, &overlapped, nullptr);
  };
  using Routine = void (*)(DWORD, DWORD, OVERLAPPED*);
  ASSERT_TRUE(table_.file.ReadFileEx(handle_, buffer, sizeof buffer, &overlapped, static_cast<Routine>(chain)));
  for (int slot = 0; slot < 3; ++slot) stopwatch_->QueueInputReport(StopwatchAnswer(slot));
  EXPECT_EQ(table_.file.SleepEx(5000, TRUE), WAIT_IO_COMPLETION);
  EXPECT_EQ(reads, 1);
  EXPECT_EQ(table_.file.SleepEx(5000, TRUE), WAIT_IO_COMPLETION);  // the chained read, without a routine
  DWORD bytes = 0;
  EXPECT_TRUE(table_.file.GetOverlappedResult(handle_, &overlapped, &bytes, FALSE));
  EXPECT_EQ(buffer[1], StopwatchAnswer(1)[0]);
}

}  // namespace
}  // namespace lumetra::test
