// Request/answer reads with a time-out: an answer in time, a silent
// device, an unplug during the wait, and the rule that the answer handle
// must be open before the request goes out.
#include <cstring>

#include "hid/read_thread.h"
#include "tests/hid/hid_test_support.h"

namespace hidtest {
namespace {

using ReadResult = TJvHidDevice::ReadResult;

class ReadTimeout : public HidFixture {
 protected:
  simulated_hid::DeviceId id = 0;
  TJvHidDevice* device = nullptr;

  void SetUp() override {
    id = Add("S", Config(11, 2));
    StartUp();
    device = CheckOut("S");
  }

  // Answers each request with the request byte in the last position.
  void AnswerAfter(std::chrono::milliseconds delay) {
    platform.SetResponder(id, [delay](const std::vector<BYTE>& request) {
      return simulated_hid::SimulatedReport{{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, request[1]}, delay};
    });
  }

  bool Ask(BYTE slot) {
    const BYTE request[2] = {0, slot};
    DWORD written = 0;
    return device->WriteReport(request, 2, written);
  }
};

TEST_F(ReadTimeout, AnswerInTime) {
  AnswerAfter(20ms);
  ASSERT_TRUE(device->OpenReadHandleForReport());
  ASSERT_TRUE(Ask(0xAA));
  BYTE answer[11] = {};
  DWORD read = 99;
  EXPECT_EQ(device->ReadReportTimeout(answer, 11, read, 2000), ReadResult::Ok);
  EXPECT_EQ(read, 11u);
  EXPECT_EQ(answer[10], 0xAA);
  // Each exchange gets its own answer.
  ASSERT_TRUE(Ask(0xAB));
  EXPECT_EQ(device->ReadReportTimeout(answer, 11, read, 2000), ReadResult::Ok);
  EXPECT_EQ(answer[10], 0xAB);
}

TEST_F(ReadTimeout, SilentDeviceTimesOutAndTheBufferIsLeftAlone) {
  ASSERT_TRUE(device->OpenReadHandleForReport());
  BYTE answer[11];
  std::memset(answer, 0xEE, sizeof answer);
  DWORD read = 99;
  const int cancels = platform.CancelIoCalls();
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(device->ReadReportTimeout(answer, 11, read, 50), ReadResult::TimedOut);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 50ms);
  EXPECT_EQ(read, 0u);
  EXPECT_EQ(platform.CancelIoCalls(), cancels + 1);
  EXPECT_EQ(platform.PendingReads(id), 0);
  // A report that comes late does not land in the old buffer ...
  platform.QueueInput(id, {0, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7});
  for (BYTE b : answer) EXPECT_EQ(b, 0xEE);
  // ... it waits on the still open handle for the next read.
  BYTE next[11] = {};
  EXPECT_EQ(device->ReadReportTimeout(next, 11, read, 500), ReadResult::Ok);
  EXPECT_EQ(next[1], 7);
}

TEST_F(ReadTimeout, WithoutCancelIoTheReadIsEndedByClosingItsHandle) {
  platform.SetCancelIoAvailable(false);
  BYTE answer[11] = {};
  DWORD read = 0;
  EXPECT_EQ(device->ReadReportTimeout(answer, 11, read, 30), ReadResult::TimedOut);
  EXPECT_EQ(platform.PendingReads(id), 0);
  EXPECT_EQ(device->ReadHandle(), INVALID_HANDLE_VALUE);
}

TEST_F(ReadTimeout, AnswerIsMissedWhenTheReadHandleOpensOnlyAfterTheRequest) {
  AnswerAfter(0ms);
  ASSERT_TRUE(Ask(0xAA));  // answered at once, before any read handle exists
  BYTE answer[11] = {};
  DWORD read = 0;
  EXPECT_EQ(device->ReadReportTimeout(answer, 11, read, 50), ReadResult::TimedOut);
  // With the handle open first, the same exchange works.
  ASSERT_TRUE(Ask(0xAB));
  EXPECT_EQ(device->ReadReportTimeout(answer, 11, read, 500), ReadResult::Ok);
  EXPECT_EQ(answer[10], 0xAB);
}

TEST_F(ReadTimeout, UnplugDuringTheWaitFailsWithoutWaitingItOut) {
  ASSERT_TRUE(device->OpenReadHandleForReport());
  std::thread unplugger([&] {
    EXPECT_TRUE(platform.WaitForPendingRead(id, 2s));
    platform.Unplug(id);
  });
  BYTE answer[11] = {};
  DWORD read = 0;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(device->ReadReportTimeout(answer, 11, read, 5000), ReadResult::Failed);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 4s);
  unplugger.join();
  EXPECT_EQ(device->ReadReportTimeout(answer, 11, read, 50), ReadResult::Failed);
}

TEST_F(ReadTimeout, RefusedWhileAReadThreadRuns) {
  struct Sink {
    void Data(TJvHidDevice*, std::uint8_t, const void*, std::uint16_t) {}
  } sink;
  device->SetOnData(TJvHidDataEvent(&sink, &Sink::Data));
  ASSERT_NE(device->ReadThread(), nullptr);
  BYTE answer[11] = {};
  DWORD read = 0;
  EXPECT_EQ(device->ReadReportTimeout(answer, 11, read, 10), ReadResult::Failed);
  device->SetOnData(nullptr);
}

TEST_F(ReadTimeout, NotAccessibleDeviceFailsAtOnce) {
  Add("T", Config(11, 2));
  Notify();
  TJvHidDevice* unclaimed = Listed("T");
  ASSERT_NE(unclaimed, nullptr);
  BYTE answer[11] = {};
  DWORD read = 0;
  EXPECT_EQ(unclaimed->ReadReportTimeout(answer, 11, read, 1000), ReadResult::Failed);
  EXPECT_FALSE(unclaimed->OpenReadHandleForReport());
}

}  // namespace
}  // namespace hidtest
