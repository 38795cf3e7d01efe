// The background reader of a checked-out device: what it delivers, on which
// thread, how it reports failed starts, and that it can always be stopped.
#include <atomic>

#if defined(__GLIBC__)
#include <pthread.h>
#endif

#include "hid/read_thread.h"
#include "hid/service_table.h"
#include "tests/hid/hid_test_support.h"

namespace hidtest {
namespace {

struct Received {
  std::uint8_t reportId = 0;
  std::vector<BYTE> data;
  std::uint16_t size = 0;
  bool onMainThread = false;
};

// Records deliveries; used as the controller's data and error handlers.
struct DataRecorder {
  std::vector<Received> reports;
  std::vector<std::uint32_t> errors;
  std::vector<bool> errorsOnMainThread;
  std::atomic<int> reportCount{0};
  TJvHidDevice* stopFrom = nullptr;     // the handler stops this device's thread
  TJvHidDevice* destroyFrom = nullptr;  // the handler destroys this device
  bool raise = false;

  void Data(TJvHidDevice* device, std::uint8_t reportId, const void* data, std::uint16_t size) {
    Received received;
    received.reportId = reportId;
    received.size = size;
    const BYTE* bytes = static_cast<const BYTE*>(data);
    received.data.assign(bytes, bytes + size);
    received.onMainThread = hid::IsMainThread();
    reports.push_back(received);
    ++reportCount;
    if (device == stopFrom) device->SetOnData(nullptr);
    if (device == destroyFrom) delete device;
    if (raise) throw std::runtime_error("handler failed");
  }
  void Error(TJvHidDevice*, std::uint32_t error) {
    errors.push_back(error);
    errorsOnMainThread.push_back(hid::IsMainThread());
  }
};

class ReadThread : public HidFixture {
 protected:
  DataRecorder recorder;
  simulated_hid::DeviceId id = 0;

  // A checked-out device whose reader is running and has a read outstanding.
  TJvHidDevice* StartReader(int sleepTime = 10) {
    id = Add("R", Config(9, 2));
    StartUp();
    ctl->SetOnDeviceDataError(TJvHidDataErrorEvent(&recorder, &DataRecorder::Error));
    TJvHidDevice* device = CheckOut("R");
    device->SetThreadSleepTime(sleepTime);
    device->SetOnData(TJvHidDataEvent(&recorder, &DataRecorder::Data));
    EXPECT_NE(device->ReadThread(), nullptr);
    EXPECT_TRUE(platform.WaitForPendingRead(id, 2s));
    return device;
  }

  // Waits, without running the loop, until something was posted to it.
  bool WaitForPosted() {
    const auto deadline = std::chrono::steady_clock::now() + 2s;
    while (loop.Pending() == 0) {
      if (std::chrono::steady_clock::now() >= deadline) return false;
      std::this_thread::sleep_for(1ms);
    }
    return true;
  }

  bool WaitForReports(std::size_t count) {
    return loop.RunUntil([&] { return recorder.reports.size() >= count; }, 2s);
  }
};

TEST_F(ReadThread, StartsOnlyForACheckedOutDeviceWithADataHandler) {
  Add("A");
  Add("Q");
  StartUp();
  ctl->SetOnDeviceData(TJvHidDataEvent(&recorder, &DataRecorder::Data));
  EXPECT_EQ(Listed("A")->ReadThread(), nullptr);  // not checked out
  TJvHidDevice* device = CheckOut("A");
  EXPECT_NE(device->ReadThread(), nullptr);
  // Clearing the controller's handler stops the devices that share it.
  ctl->SetOnDeviceData(nullptr);
  EXPECT_EQ(device->ReadThread(), nullptr);
}

TEST_F(ReadThread, QueryOnlyDeviceGetsNoReader) {
  auto config = Config();
  config.open = simulated_hid::OpenPolicy::QueryOnly;
  Add("Q", config);
  StartUp();
  TJvHidDevice* device = CheckOut("Q");
  device->SetOnData(TJvHidDataEvent(&recorder, &DataRecorder::Data));
  EXPECT_EQ(device->ReadThread(), nullptr);
}

TEST_F(ReadThread, DeliversReportIdDataAndSizeOnTheMainThread) {
  StartReader();
  platform.QueueInput(id, {7, 1, 2, 3, 4, 5, 6, 7, 8});
  platform.QueueInput(id, {9});
  ASSERT_TRUE(WaitForReports(2));
  EXPECT_EQ(recorder.reports[0].reportId, 7);
  EXPECT_EQ(recorder.reports[0].size, 8);
  EXPECT_EQ(recorder.reports[0].data, (std::vector<BYTE>{1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_TRUE(recorder.reports[0].onMainThread);
  // One byte: the report ID alone, Size 0.
  EXPECT_EQ(recorder.reports[1].reportId, 9);
  EXPECT_EQ(recorder.reports[1].size, 0);
}

TEST_F(ReadThread, EmptyReadsDeliverNothingAndReadingGoesOn) {
  StartReader();
  platform.QueueInput(id, {});
  platform.QueueInput(id, {3, 33});
  ASSERT_TRUE(WaitForReports(1));
  ASSERT_EQ(recorder.reports.size(), 1u);
  EXPECT_EQ(recorder.reports[0].reportId, 3);
  EXPECT_EQ(recorder.reports[0].data, (std::vector<BYTE>{33}));
}

TEST_F(ReadThread, StopWhileWaitingCancelsTheOutstandingReadWithoutDelivery) {
  TJvHidDevice* device = StartReader(10);
  const int cancels = platform.CancelIoCalls();
  device->SetOnData(nullptr);
  EXPECT_EQ(device->ReadThread(), nullptr);
  EXPECT_EQ(platform.CancelIoCalls(), cancels + 1);
  EXPECT_EQ(platform.PendingReads(id), 0);
  loop.RunPending();
  EXPECT_TRUE(recorder.reports.empty());
  // The read handle stays open until the device closes its handles.
  EXPECT_NE(device->ReadHandle(), INVALID_HANDLE_VALUE);
}

TEST_F(ReadThread, StopWhileADeliveryWaitsForTheMainThreadDoesNotDeadlock) {
  TJvHidDevice* device = StartReader(10);
  platform.QueueInput(id, {1, 42});
  // The reader is now blocked handing the report over; the loop is not run.
  ASSERT_TRUE(WaitForPosted());
  device->SetOnData(nullptr);  // waits, serving the hand-over meanwhile
  EXPECT_EQ(device->ReadThread(), nullptr);
  EXPECT_EQ(recorder.reports.size(), 1u);
  loop.RunPending();
  EXPECT_EQ(recorder.reports.size(), 1u);
}

TEST_F(ReadThread, DestroyingTheDeviceStopsItsReader) {
  TJvHidDevice* device = StartReader(10);
  platform.QueueInput(id, {1, 42});
  delete device;  // given back: replaced in place by an unclaimed device
  // The reader has ended: a report it took may have been handed over while
  // the destruction waited for it, but nothing reads or arrives afterwards.
  const std::size_t delivered = recorder.reports.size();
  EXPECT_EQ(platform.PendingReads(id), 0);
  EXPECT_EQ(platform.OpenHandles(id), 0);
  platform.QueueInput(id, {1, 43});
  loop.RunUntil([] { return false; }, 50ms);  // several of the reader's slices
  EXPECT_EQ(recorder.reports.size(), delivered);
  EXPECT_EQ(recorder.reportCount.load(), static_cast<int>(delivered));
  EXPECT_EQ(platform.PendingReads(id), 0);
  EXPECT_EQ(Listed("R")->ReadThread(), nullptr);
}

TEST_F(ReadThread, AHandlerMayStopItsOwnReader) {
  TJvHidDevice* device = StartReader(10);
  recorder.stopFrom = device;
  platform.QueueInput(id, {1, 1});
  ASSERT_TRUE(WaitForReports(1));
  EXPECT_EQ(device->ReadThread(), nullptr);
  EXPECT_FALSE(device->OnData().Assigned());
  platform.QueueInput(id, {1, 2});
  loop.RunUntil([] { return false; }, 50ms);
  EXPECT_EQ(recorder.reports.size(), 1u);
}

TEST_F(ReadThread, AHandlerMayGiveItsDeviceBack) {
  TJvHidDevice* device = StartReader(10);
  recorder.destroyFrom = device;
  platform.QueueInput(id, {1, 1});
  ASSERT_TRUE(WaitForReports(1));
  loop.RunUntil([] { return false; }, 50ms);
  ASSERT_NE(Listed("R"), nullptr);
  EXPECT_FALSE(Listed("R")->CheckedOut());
}

TEST_F(ReadThread, AHandlerGivingItsDeviceBackWhileItsReaderIsStoppedLeavesAFreshEntry) {
  // The controller's handler is taken away while a delivery waits for the
  // main thread; the delivery runs during the stop, and its handler gives
  // the device back.
  id = Add("R");
  StartUp();
  ctl->SetOnDeviceData(TJvHidDataEvent(&recorder, &DataRecorder::Data));
  TJvHidDevice* device = CheckOut("R");
  ASSERT_TRUE(platform.WaitForPendingRead(id, 2s));
  recorder.destroyFrom = device;
  platform.QueueInput(id, {1, 1});
  ASSERT_TRUE(WaitForPosted());
  ctl->SetOnDeviceData(nullptr);
  EXPECT_EQ(recorder.reports.size(), 1u);
  TJvHidDevice* fresh = Listed("R");
  ASSERT_NE(fresh, nullptr);
  EXPECT_FALSE(fresh->CheckedOut());
  EXPECT_FALSE(fresh->OnData().Assigned()) << "the fresh entry took the handler the controller gave up";

  // Given back by its holder while a delivery waits, whose handler gives it
  // back too: one give-back, one fresh entry.
  loop.RunPending();  // the first hand-over's wake-up, served already
  device = CheckOut("R");
  device->SetOnData(TJvHidDataEvent(&recorder, &DataRecorder::Data));
  ASSERT_TRUE(platform.WaitForPendingRead(id, 2s));
  recorder.destroyFrom = device;
  platform.QueueInput(id, {1, 2});
  ASSERT_TRUE(WaitForPosted());
  delete device;
  EXPECT_EQ(recorder.reports.size(), 2u);
  ASSERT_EQ(ctl->Count(), 1);
  EXPECT_FALSE(ctl->DeviceList()[0]->CheckedOut());
  EXPECT_EQ(platform.PendingReads(id), 0);
}

#if defined(__GLIBC__)
// While it lives, no thread can be created: the default stack is larger
// than any address space.
class ThreadCreationFails {
 public:
  ThreadCreationFails() {
    pthread_getattr_default_np(&saved_);
    pthread_attr_t huge;
    pthread_attr_init(&huge);
    pthread_attr_setstacksize(&huge, std::size_t{1} << 46);
    pthread_setattr_default_np(&huge);
    pthread_attr_destroy(&huge);
  }
  ~ThreadCreationFails() {
    pthread_setattr_default_np(&saved_);
    pthread_attr_destroy(&saved_);
  }
  ThreadCreationFails(const ThreadCreationFails&) = delete;
  ThreadCreationFails& operator=(const ThreadCreationFails&) = delete;

 private:
  pthread_attr_t saved_;
};

TEST_F(ReadThread, AReaderThatCannotBeCreatedLeavesTheDeviceWithoutOne) {
  id = Add("R");
  StartUp();
  TJvHidDevice* device = CheckOut("R");
  {
    ThreadCreationFails failing;
    EXPECT_NO_THROW(device->SetOnData(TJvHidDataEvent(&recorder, &DataRecorder::Data)));
  }
  ASSERT_EQ(device->ReadThread(), nullptr);
  device->SetOnData(nullptr);  // nothing to wait for
  device->SetOnData(TJvHidDataEvent(&recorder, &DataRecorder::Data));
  EXPECT_NE(device->ReadThread(), nullptr);
  EXPECT_TRUE(platform.WaitForPendingRead(id, 2s));
}
#endif

TEST_F(ReadThread, AReadHandleClosedAsTheReaderStartsAReadIsNotReadThroughOnceItsValueIsReused) {
  platform.SetHandleValuesReused(true);
  id = Add("R");
  const simulated_hid::DeviceId other = Add("S");
  StartUp();
  TJvHidDevice* device = CheckOut("R");
  // The reader's first read start waits a while for the main thread to have
  // closed the handle and opened another one.
  std::atomic<bool> starting{false}, reopened{false};
  platform.SetBeforeReadHook([&] {
    if (hid::IsMainThread() || starting.exchange(true)) return;
    const auto deadline = std::chrono::steady_clock::now() + 300ms;
    while (!reopened && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(1ms);
  });
  device->SetOnData(TJvHidDataEvent(&recorder, &DataRecorder::Data));
  const auto deadline = std::chrono::steady_clock::now() + 2s;
  while (!starting && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(1ms);
  ASSERT_TRUE(starting);
  device->CloseReadHandle();
  // Opened at once, this handle gets the closed one's value.
  const std::string path = platform.PathOf(other);
  const HANDLE handle = hid::Services().file.CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                         nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
  reopened = true;
  platform.WaitForPendingRead(id, 1s);
  EXPECT_EQ(platform.PendingReads(other), 0) << "the reader reads through another device's handle";
  EXPECT_EQ(platform.PendingReads(id), 1) << "the reader reads its own device again";
  platform.SetBeforeReadHook(nullptr);
  hid::Services().file.CloseHandle(handle);
  device->SetOnData(nullptr);
}

TEST_F(ReadThread, AHandlerThatRaisesLosesOnlyItsReport) {
  StartReader(10);
  recorder.raise = true;
  platform.QueueInput(id, {1, 1});
  ASSERT_TRUE(WaitForReports(1));
  recorder.raise = false;
  platform.QueueInput(id, {1, 2});
  ASSERT_TRUE(WaitForReports(2));
  EXPECT_EQ(recorder.reports[1].data, (std::vector<BYTE>{2}));
}

TEST_F(ReadThread, FailedStartsAreReportedOneByOneOnTheMainThread) {
  TJvHidDevice* device = StartReader(10);
  // The device now refuses read access: every new read start fails.
  platform.Configure(id, [](simulated_hid::DeviceConfig& c) { c.open = simulated_hid::OpenPolicy::QueryOnly; });
  device->CloseReadHandle();  // the outstanding read ends, the reopening fails
  ASSERT_TRUE(loop.RunUntil([&] { return recorder.errors.size() >= 3; }, 2s));
  for (std::uint32_t error : recorder.errors) EXPECT_EQ(error, ERROR_ACCESS_DENIED);
  for (bool onMain : recorder.errorsOnMainThread) EXPECT_TRUE(onMain);
  device->SetOnData(nullptr);
  EXPECT_EQ(device->ReadThread(), nullptr);
}

TEST_F(ReadThread, AfterUnplugNoDataArrivesAndFailuresComeAtTheSlicePace) {
  TJvHidDevice* device = StartReader(50);
  platform.Unplug(id);
  Notify();  // the controller marks it unplugged and closes its handles
  EXPECT_FALSE(device->Plugged());
  EXPECT_EQ(platform.OpenHandles(id), 0);
  recorder.errors.clear();
  loop.RunUntil([] { return false; }, 300ms);
  EXPECT_TRUE(recorder.reports.empty());
  // Reported, but not in a tight loop: about one failure per 50 ms slice.
  EXPECT_GE(recorder.errors.size(), 2u);
  EXPECT_LE(recorder.errors.size(), 12u);
  device->SetOnData(nullptr);
  EXPECT_EQ(device->ReadThread(), nullptr);
}

TEST_F(ReadThread, AReaderWokenByTheUnplugOpensNoHandleBehindIt) {
  TJvHidDevice* device = StartReader(10);
  // The list query fails: the controller takes every device for gone, though
  // this one could still be opened.
  platform.SetClassDevsFails(true);
  // Hold the unplugging thread just after the read handle has closed, while
  // the reader, woken by its ended read, starts the next one.
  platform.SetAfterCloseHook([] { std::this_thread::sleep_for(100ms); });
  Notify();
  platform.SetAfterCloseHook(nullptr);
  EXPECT_FALSE(device->Plugged());
  EXPECT_EQ(device->ReadHandle(), INVALID_HANDLE_VALUE);
  EXPECT_EQ(platform.OpenHandles(id), 0);
  EXPECT_EQ(platform.PendingReads(id), 0);
  device->SetOnData(nullptr);
  EXPECT_EQ(platform.OpenHandles(id), 0);
}

TEST_F(ReadThread, AHandleOpenedByTheReaderWhileTheDeviceIsUnpluggedIsClosedAgain) {
  TJvHidDevice* device = StartReader(10);
  // The reader's next opening waits until the device has been marked unplugged.
  std::atomic<bool> opening{false}, release{false};
  platform.SetBeforeOpenHook([&] {
    if (hid::IsMainThread()) return;
    opening = true;
    while (!release) std::this_thread::sleep_for(1ms);
  });
  // However the test ends, the reader is let go, or it could never be stopped.
  struct Release {
    std::atomic<bool>& flag;
    ~Release() { flag = true; }
  } releaseAtEnd{release};
  device->CloseReadHandle();  // the read ends; the reader opens again
  const auto deadline = std::chrono::steady_clock::now() + 2s;
  while (!opening && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(1ms);
  ASSERT_TRUE(opening);
  platform.SetClassDevsFails(true);
  Notify();
  EXPECT_FALSE(device->Plugged());
  release = true;
  // The opening the reader had begun while the device was still usable
  // succeeds, and is given up at once.
  ASSERT_TRUE(loop.RunUntil([&] { return !recorder.errors.empty(); }, 2s));
  platform.SetBeforeOpenHook(nullptr);
  EXPECT_EQ(device->ReadHandle(), INVALID_HANDLE_VALUE);
  EXPECT_EQ(platform.OpenHandles(id), 0);
  device->SetOnData(nullptr);
}

TEST_F(ReadThread, InsideALibraryReportsAreDeliveredOnTheReadThread) {
  hid::SetRunningInsideLibrary(true);
  StartReader(10);
  platform.QueueInput(id, {1, 5});
  const auto deadline = std::chrono::steady_clock::now() + 2s;
  while (recorder.reportCount == 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(1ms);
  }
  hid::SetRunningInsideLibrary(false);
  ASSERT_EQ(recorder.reportCount, 1);
  EXPECT_FALSE(recorder.reports[0].onMainThread);
  EXPECT_EQ(loop.Pending(), 0u);
}

TEST_F(ReadThread, TheCheckedOutReaderKeepsRunningAfterTheControllerIsGone) {
  TJvHidDevice* device = StartReader(10);
  ctl.reset();  // marks it unplugged, leaves it to its holder
  EXPECT_FALSE(device->Plugged());
  EXPECT_NE(device->ReadThread(), nullptr);
  delete device;  // stops the reader
}

}  // namespace
}  // namespace hidtest
