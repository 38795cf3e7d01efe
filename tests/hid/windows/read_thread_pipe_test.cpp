// The device's background reader and its timed read on real handles: the
// device is a named pipe (pipe_hid_device.h), so the overlapped reads,
// alertable waits, cancellations and handle closes are the system's own,
// while the controller, the device and the read thread are the program's.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "hid/hid_controller.h"
#include "hid/main_thread.h"
#include "hid/read_thread.h"
#include "tests/hid/windows/pipe_hid_device.h"
#include "tests/support/test_event_loop.h"

namespace {

using namespace std::chrono_literals;
using wintest::PipeHidDevice;
using Clock = std::chrono::steady_clock;

struct Report {
  BYTE reportId = 0;
  std::vector<BYTE> data;
  bool onMainThread = false;
};

struct DataRecorder {
  std::vector<Report> reports;
  std::vector<std::uint32_t> errors;
  std::vector<bool> errorsOnMainThread;
  int removals = 0;

  void Data(TJvHidDevice*, const BYTE reportId, const void* data, const std::uint16_t size) {
    const auto* bytes = static_cast<const BYTE*>(data);
    reports.push_back(Report{reportId, std::vector<BYTE>(bytes, bytes + size), hid::IsMainThread()});
  }
  void Error(TJvHidDevice*, const std::uint32_t error) {
    errors.push_back(error);
    errorsOnMainThread.push_back(hid::IsMainThread());
  }
  void Removal(TJvHidDevice*) { ++removals; }
};

std::vector<BYTE> ReportOf(BYTE id, BYTE fill) {
  std::vector<BYTE> report(PipeHidDevice::kInputReportLength, fill);
  report[0] = id;
  return report;
}

class PipeDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    controller_ = std::make_unique<TJvHidDeviceController>(nullptr);
    controller_->OnRemoval = TJvHidPlugEvent(&recorder_, &DataRecorder::Removal);
    ASSERT_TRUE(loop_.RunUntil([this] { return controller_->Count() == 1; }, 5s));
    // A scanned device starts without an error handler; this hands it one.
    controller_->SetOnDeviceDataError(TJvHidDataErrorEvent(&recorder_, &DataRecorder::Error));
    ASSERT_TRUE(controller_->CheckOutDevice(device_, 0));
  }
  void TearDown() override {
    delete device_;  // stops its reader, if it has one
    controller_.reset();
  }

  // Starts the reader and waits until it has opened its read handle.
  void StartReader(int sliceMs) {
    device_->SetThreadSleepTime(sliceMs);
    device_->SetOnData(TJvHidDataEvent(&recorder_, &DataRecorder::Data));
    ASSERT_NE(device_->ReadThread(), nullptr);
    const auto deadline = Clock::now() + 2s;
    while (device_->ReadHandle() == INVALID_HANDLE_VALUE && Clock::now() < deadline) std::this_thread::sleep_for(1ms);
    ASSERT_NE(device_->ReadHandle(), INVALID_HANDLE_VALUE);
  }

  bool WaitForReports(std::size_t count, std::chrono::milliseconds timeout = 5s) {
    return loop_.RunUntil([&] { return recorder_.reports.size() >= count; }, timeout);
  }

  // Waits, without running the loop, until something was posted to it.
  bool WaitForPosted() {
    const auto deadline = Clock::now() + 5s;
    while (loop_.Pending() == 0) {
      if (Clock::now() >= deadline) return false;
      std::this_thread::sleep_for(1ms);
    }
    return true;
  }

  // Destroyed in reverse: the controller before the device's services.
  simulated_hid::TestEventLoop loop_;
  PipeHidDevice pipe_;
  DataRecorder recorder_;
  std::unique_ptr<TJvHidDeviceController> controller_;
  TJvHidDevice* device_ = nullptr;
};

using WindowsReadThread = PipeDeviceTest;

TEST_F(WindowsReadThread, ACompletedReadEndsTheWaitAtOnceAndReachesOnDataOnTheMainThread) {
  // A slice far longer than the test may take: only the completion can end
  // the wait in time.
  StartReader(10000);
  const auto start = Clock::now();
  ASSERT_TRUE(pipe_.FeedOne(ReportOf(7, 0x42)));
  ASSERT_TRUE(WaitForReports(1, 3s));
  EXPECT_LT(Clock::now() - start, 3s);
  EXPECT_EQ(recorder_.reports[0].reportId, 7);
  EXPECT_EQ(recorder_.reports[0].data, std::vector<BYTE>(PipeHidDevice::kInputReportLength - 1, 0x42));
  EXPECT_TRUE(recorder_.reports[0].onMainThread);

  // The next read was started after the hand-over; short slices from here,
  // so that stopping is quick once this report is in.
  device_->SetThreadSleepTime(10);
  ASSERT_TRUE(pipe_.FeedOne(ReportOf(8, 0x43)));
  ASSERT_TRUE(WaitForReports(2));
  EXPECT_EQ(recorder_.reports[1].reportId, 8);
  device_->SetOnData(nullptr);
  EXPECT_EQ(device_->ReadThread(), nullptr);
  EXPECT_TRUE(recorder_.errors.empty());
}

TEST_F(WindowsReadThread, StoppingCancelsTheOutstandingReadSoALaterReportStaysInThePipe) {
  const int reads = pipe_.ReadsStarted();
  StartReader(10);
  // A few slices with the read outstanding.
  const int waits = pipe_.AlertableWaits();
  const auto deadline = Clock::now() + 5s;
  while ((pipe_.ReadsStarted() == reads || pipe_.AlertableWaits() < waits + 3) && Clock::now() < deadline) {
    std::this_thread::sleep_for(1ms);
  }
  ASSERT_GT(pipe_.ReadsStarted(), reads);
  const int cancels = pipe_.CancelIoCalls();
  const auto start = Clock::now();
  device_->SetOnData(nullptr);
  EXPECT_LT(Clock::now() - start, 1s);
  EXPECT_EQ(device_->ReadThread(), nullptr);
  EXPECT_EQ(pipe_.CancelIoCalls(), cancels + 1);
  const HANDLE readHandle = device_->ReadHandle();
  ASSERT_NE(readHandle, INVALID_HANDLE_VALUE) << "the handle stays until the device closes it";

  // Had the read been left outstanding, it would take this report into the
  // gone reader's buffer. It is over: a read of our own gets the report whole.
  const std::vector<BYTE> report = ReportOf(9, 0x99);
  ASSERT_TRUE(pipe_.FeedOne(report));
  loop_.RunUntil([] { return false; }, 50ms);
  EXPECT_TRUE(recorder_.reports.empty());
  std::vector<BYTE> buffer(report.size());
  OVERLAPPED overlapped{};
  DWORD read = 0;
  if (!::ReadFile(readHandle, buffer.data(), static_cast<DWORD>(buffer.size()), nullptr, &overlapped)) {
    ASSERT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_IO_PENDING));
  }
  ASSERT_TRUE(::GetOverlappedResult(readHandle, &overlapped, &read, TRUE));
  EXPECT_EQ(read, report.size());
  EXPECT_EQ(buffer, report);
}

TEST_F(WindowsReadThread, StoppingWhileADeliveryWaitsForTheMainThreadDoesNotDeadlock) {
  StartReader(10);
  ASSERT_TRUE(pipe_.FeedOne(ReportOf(1, 0x11)));
  // The reader is now blocked handing the report over; the loop is not run.
  ASSERT_TRUE(WaitForPosted());
  EXPECT_TRUE(recorder_.reports.empty());
  device_->SetOnData(nullptr);  // waits, serving the hand-over meanwhile
  EXPECT_EQ(device_->ReadThread(), nullptr);
  ASSERT_EQ(recorder_.reports.size(), 1u);
  EXPECT_EQ(recorder_.reports[0].reportId, 1);
  loop_.RunPending();
  EXPECT_EQ(recorder_.reports.size(), 1u);
}

TEST_F(WindowsReadThread, UnpluggingClosesTheHandleUnderTheReadAndLaterStartsAreReportedAsErrors) {
  StartReader(20);
  pipe_.SetPresent(false);
  controller_->DeviceChange();  // as a device-change notice would
  EXPECT_EQ(recorder_.removals, 1);
  EXPECT_FALSE(device_->Plugged());
  EXPECT_EQ(device_->ReadHandle(), INVALID_HANDLE_VALUE);

  // The outstanding read ended with its closed handle and delivered
  // nothing; every new start fails and is reported on the main thread.
  ASSERT_TRUE(loop_.RunUntil([this] { return recorder_.errors.size() >= 2; }, 3s));
  EXPECT_TRUE(recorder_.reports.empty());
  for (bool onMain : recorder_.errorsOnMainThread) EXPECT_TRUE(onMain);
  device_->SetOnData(nullptr);
  EXPECT_EQ(device_->ReadThread(), nullptr);
}

using WindowsTimedRead = PipeDeviceTest;

TEST_F(WindowsTimedRead, AnAnswerInTimeIsReadWhole) {
  ASSERT_TRUE(device_->OpenReadHandleForReport());
  const std::vector<BYTE> answer = ReportOf(0, 0x31);
  ASSERT_TRUE(pipe_.FeedOne(answer));
  std::vector<BYTE> buffer(answer.size());
  DWORD read = 0;
  EXPECT_EQ(device_->ReadReportTimeout(buffer.data(), static_cast<DWORD>(buffer.size()), read, 2000),
            TJvHidDevice::ReadResult::Ok);
  EXPECT_EQ(read, answer.size());
  EXPECT_EQ(buffer, answer);
}

TEST_F(WindowsTimedRead, NoAnswerTimesOutAndTheCancelledReadTakesNothingLater) {
  ASSERT_TRUE(device_->OpenReadHandleForReport());
  std::vector<BYTE> buffer(PipeHidDevice::kInputReportLength, 0xEE);
  DWORD read = 7;
  const auto start = Clock::now();
  EXPECT_EQ(device_->ReadReportTimeout(buffer.data(), static_cast<DWORD>(buffer.size()), read, 50),
            TJvHidDevice::ReadResult::TimedOut);
  const auto took = Clock::now() - start;
  EXPECT_GE(took, 45ms);
  EXPECT_LT(took, 2s);
  EXPECT_EQ(read, 0u);

  // The late answer is left for the next read, not taken by the old one.
  const std::vector<BYTE> late = ReportOf(0, 0x32);
  ASSERT_TRUE(pipe_.FeedOne(late));
  ::SleepEx(20, TRUE);  // a completion left behind would run here
  EXPECT_EQ(buffer, std::vector<BYTE>(PipeHidDevice::kInputReportLength, 0xEE));
  EXPECT_EQ(device_->ReadReportTimeout(buffer.data(), static_cast<DWORD>(buffer.size()), read, 2000),
            TJvHidDevice::ReadResult::Ok);
  EXPECT_EQ(buffer, late);
}

}  // namespace
