// The overlapped read machinery the read thread is built on, through the
// bound table: ReadFileEx with a completion routine, alertable SleepEx,
// GetOverlappedResult without waiting, and CancelIo looked up at each use.
//
// A named pipe opened with FILE_FLAG_OVERLAPPED stands in for the device's
// read handle; the test writes the "input reports" into the pipe's other end.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstring>
#include <string>

#include "hid/windows/service_provider.h"

namespace {

using hid::ServiceTable;

// What the completion routine saw. The read's OVERLAPPED carries a pointer
// to it in hEvent, as the device stores itself there.
struct Completion {
  int calls = 0;
  DWORD error = 0xFFFFFFFF;
  DWORD bytes = 0xFFFFFFFF;
  OVERLAPPED* overlapped = nullptr;
};

void WINAPI RecordCompletion(DWORD error, DWORD bytes, OVERLAPPED* overlapped) {
  auto* completion = static_cast<Completion*>(overlapped->hEvent);
  ++completion->calls;
  completion->error = error;
  completion->bytes = bytes;
  completion->overlapped = overlapped;
}

constexpr DWORD kReportLength = 11;  // the stopwatch's answer
constexpr DWORD kPatience = 5000;    // ms; a completion comes far sooner

class WindowsOverlappedRead : public ::testing::Test {
 protected:
  void SetUp() override {
    hid::PlatformServiceProvider().BindFileServices(t_.file);
    static int serial = 0;
    const std::string name =
        "\\\\.\\pipe\\lumetra-overlapped-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++serial);
    writer_ =
        ::CreateNamedPipeA(name.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr);
    ASSERT_NE(writer_, INVALID_HANDLE_VALUE);
    reader_ = t_.file.CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    ASSERT_NE(reader_, INVALID_HANDLE_VALUE);
    overlapped_.hEvent = &completion_;
  }

  void TearDown() override {
    // No read may outlive the OVERLAPPED and buffer it writes into.
    if (reader_ != INVALID_HANDLE_VALUE) {
      if (pending_ && t_.file.CancelIo(reader_)) DrainCompletions();
      t_.file.CloseHandle(reader_);
    }
    if (writer_ != INVALID_HANDLE_VALUE) ::CloseHandle(writer_);
  }

  bool BeginRead() {
    buffer_.fill(0);
    std::memset(&overlapped_, 0, sizeof overlapped_);
    overlapped_.hEvent = &completion_;
    pending_ = t_.file.ReadFileEx(reader_, buffer_.data(), kReportLength, &overlapped_, &RecordCompletion) != FALSE;
    return pending_;
  }

  void Write(const void* data, DWORD length) {
    DWORD written = 0;
    ASSERT_TRUE(::WriteFile(writer_, data, length, &written, nullptr));
    ASSERT_EQ(written, length);
  }

  // Waits alertably until the completion routine has run.
  DWORD AwaitCompletion() {
    DWORD result = t_.file.SleepEx(kPatience, TRUE);
    if (completion_.calls > 0) pending_ = false;
    return result;
  }

  void DrainCompletions() {
    while (completion_.calls == 0 && t_.file.SleepEx(kPatience, TRUE) == WAIT_IO_COMPLETION) {
    }
    pending_ = false;
  }

  ServiceTable t_;
  HANDLE writer_ = INVALID_HANDLE_VALUE;
  HANDLE reader_ = INVALID_HANDLE_VALUE;
  OVERLAPPED overlapped_{};
  Completion completion_;
  std::array<unsigned char, 64> buffer_{};
  bool pending_ = false;
};

TEST_F(WindowsOverlappedRead, CompletionRunsInTheAlertableWaitAndTheResultIsFetchedWithoutWaiting) {
  ASSERT_TRUE(BeginRead());
  const unsigned char report[kReportLength] = {0x00, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0x5A};
  Write(report, sizeof report);

  // The routine runs only inside an alertable wait of the reading thread,
  // even once the read itself is complete.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!HasOverlappedIoCompleted(&overlapped_) && std::chrono::steady_clock::now() < deadline) ::Sleep(1);
  ASSERT_TRUE(HasOverlappedIoCompleted(&overlapped_));
  EXPECT_EQ(t_.file.SleepEx(50, FALSE), 0u);
  EXPECT_EQ(completion_.calls, 0);

  ASSERT_EQ(AwaitCompletion(), WAIT_IO_COMPLETION);
  EXPECT_EQ(completion_.calls, 1);
  EXPECT_EQ(completion_.error, static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(completion_.bytes, kReportLength);
  EXPECT_EQ(completion_.overlapped, &overlapped_);

  DWORD transferred = 0;
  EXPECT_TRUE(t_.file.GetOverlappedResult(reader_, &overlapped_, &transferred, FALSE));
  EXPECT_EQ(transferred, kReportLength);
  EXPECT_EQ(std::memcmp(buffer_.data(), report, sizeof report), 0);
}

TEST_F(WindowsOverlappedRead, AWaitWithNothingArrivedTimesOutAndLeavesTheReadOutstanding) {
  ASSERT_TRUE(BeginRead());
  EXPECT_EQ(t_.file.SleepEx(20, TRUE), 0u);
  EXPECT_EQ(completion_.calls, 0);
  DWORD transferred = 0;
  EXPECT_FALSE(t_.file.GetOverlappedResult(reader_, &overlapped_, &transferred, FALSE));
  EXPECT_EQ(t_.file.GetLastError(), static_cast<DWORD>(ERROR_IO_INCOMPLETE));

  // The same read, never restarted, completes when the report comes.
  const unsigned char report[3] = {0x07, 0x10, 0x20};
  Write(report, sizeof report);
  ASSERT_EQ(AwaitCompletion(), WAIT_IO_COMPLETION);
  EXPECT_EQ(completion_.bytes, 3u);
  EXPECT_EQ(buffer_[0], 0x07);
}

TEST_F(WindowsOverlappedRead, CancelEndsTheOutstandingReadAtTheNextAlertableWait) {
  ASSERT_TRUE(BeginRead());
  ASSERT_EQ(t_.file.SleepEx(20, TRUE), 0u);

  EXPECT_TRUE(t_.file.CancelIo(reader_));
  ASSERT_EQ(AwaitCompletion(), WAIT_IO_COMPLETION);
  EXPECT_EQ(completion_.calls, 1);
  EXPECT_EQ(completion_.error, static_cast<DWORD>(ERROR_OPERATION_ABORTED));

  DWORD transferred = 0;
  EXPECT_FALSE(t_.file.GetOverlappedResult(reader_, &overlapped_, &transferred, FALSE));
  EXPECT_EQ(t_.file.GetLastError(), static_cast<DWORD>(ERROR_OPERATION_ABORTED));
  EXPECT_EQ(transferred, 0u);

  // Nothing left to cancel or to complete.
  EXPECT_EQ(t_.file.SleepEx(20, TRUE), 0u);
  EXPECT_EQ(completion_.calls, 1);
}

// Unplugging closes the read handle under an outstanding read: the read
// ends, and every later read start fails with a reason.
TEST_F(WindowsOverlappedRead, ClosingTheHandleEndsTheReadAndLaterStartsFail) {
  ASSERT_TRUE(BeginRead());
  ASSERT_EQ(t_.file.SleepEx(20, TRUE), 0u);

  EXPECT_TRUE(t_.file.CloseHandle(reader_));
  ASSERT_EQ(AwaitCompletion(), WAIT_IO_COMPLETION);
  EXPECT_EQ(completion_.calls, 1);
  EXPECT_NE(completion_.error, static_cast<DWORD>(ERROR_SUCCESS));

  EXPECT_FALSE(t_.file.ReadFileEx(reader_, buffer_.data(), kReportLength, &overlapped_, &RecordCompletion));
  EXPECT_EQ(t_.file.GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  reader_ = INVALID_HANDLE_VALUE;
}

}  // namespace
