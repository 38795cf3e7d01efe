// The controller's scans: what the first scan and later re-scans report,
// in which order, and what the device list looks like meanwhile.
#include "tests/hid/hid_test_support.h"

namespace hidtest {
namespace {

class ControllerScan : public HidFixture {};

TEST_F(ControllerScan, FirstScanRunsFromTheEventLoopNotDuringConstruction) {
  Add("A");
  CreateController();
  EXPECT_TRUE(ctl->DeviceList().empty());
  EXPECT_TRUE(TakeEvents().empty());
  EXPECT_EQ(platform.OpenAttempts(ids["A"]), 0);
  loop.RunPending();
  EXPECT_EQ(TakeEvents(), (Events{"arrival A@0", "change"}));
  EXPECT_EQ(ctl->LastChangeParam(), -1);
}

TEST_F(ControllerScan, StartUpWithNoDeviceFiresOneDeviceChange) {
  StartUp();
  EXPECT_EQ(TakeEvents(), (Events{"change"}));
  EXPECT_TRUE(ctl->DeviceList().empty());
}

TEST_F(ControllerScan, StartUpReportsEachDeviceInOrderAlreadyListedAtItsIndex) {
  Add("A");
  Add("B");
  Add("C");
  StartUp();
  EXPECT_EQ(TakeEvents(), (Events{"arrival A@0", "arrival B@1", "arrival C@2", "change"}));
  EXPECT_EQ(ListNames(), (Events{"A", "B", "C"}));
  EXPECT_EQ(platform.LastClassDevsFlags(), DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
}

TEST_F(ControllerScan, ArrivalHandlerSeesOnlyTheDevicesAddedSoFar) {
  Add("A");
  Add("B");
  CreateController();
  std::vector<int> counts;
  struct Counter {
    TJvHidDeviceController* ctl;
    std::vector<int>* counts;
    void Arrival(TJvHidDevice*) { counts->push_back(ctl->EnumerateDevices()); }
  } counter{ctl.get(), &counts};
  ctl->OnArrival = TJvHidPlugEvent(&counter, &Counter::Arrival);
  loop.RunPending();
  EXPECT_EQ(counts, (std::vector<int>{1, 2}));
  EXPECT_EQ(TakeEvents(), (Events{"enumerate A@0", "enumerate A@0", "enumerate B@1", "change"}));
}

TEST_F(ControllerScan, RescanWithoutChangeFiresNothingAndDestroysTheDuplicates) {
  Add("A");
  Add("B");
  StartUp();
  TakeEvents();
  const std::vector<TJvHidDevice*> before = ctl->DeviceList();
  const int attempts = platform.OpenAttempts(ids["A"]);
  Notify();
  EXPECT_TRUE(TakeEvents().empty());
  EXPECT_EQ(ctl->DeviceList(), before);
  // Every scan opens every interface, known ones included ...
  EXPECT_GT(platform.OpenAttempts(ids["A"]), attempts);
  // ... and leaves nothing open or allocated behind.
  EXPECT_EQ(platform.TotalOpenHandles(), 0);
  EXPECT_EQ(platform.LiveDeviceInfoSets(), 0);
  EXPECT_EQ(ctl->LastChangeParam(), 0);
}

TEST_F(ControllerScan, UnplugOfAnUnclaimedDeviceRemovesItAndShiftsLaterIndices) {
  StartUpWithThreeLoggingUnplugs();
  TakeEvents();
  platform.Unplug(ids["B"]);
  Notify();
  // Still listed at its index while its removal is reported; out of the list afterwards.
  EXPECT_EQ(TakeEvents(), (Events{"unplug B", "removal B@1", "change"}));
  EXPECT_EQ(ListNames(), (Events{"A", "C"}));
  EXPECT_EQ(IndexOf("C"), 1);
}

TEST_F(ControllerScan, UnplugOfTheCheckedOutDeviceKeepsItListedAndReportsItAtEveryRescan) {
  StartUpWithThreeLoggingUnplugs();
  TJvHidDevice* held = CheckOut("B");
  TakeEvents();

  platform.Unplug(ids["B"]);
  Notify();
  EXPECT_EQ(TakeEvents(), (Events{"unplug B", "removal B@1", "change"}));
  EXPECT_EQ(ListNames(), (Events{"A", "B!", "C"}));
  EXPECT_FALSE(held->Plugged());
  EXPECT_EQ(held->SyncHandle(), INVALID_HANDLE_VALUE);

  // Every later re-scan reports it again, but its OnUnplug only once.
  Notify();
  EXPECT_EQ(TakeEvents(), (Events{"removal B@1", "change"}));

  // Enumeration skips it and the devices after it keep their indices.
  EXPECT_EQ(ctl->EnumerateDevices(), 2);
  EXPECT_EQ(TakeEvents(), (Events{"enumerate A@0", "enumerate C@2"}));

  delete held;  // given back: an unplugged device leaves the list
  EXPECT_EQ(ListNames(), (Events{"A", "C"}));
}

TEST_F(ControllerScan, ReplugArrivesAsANewObjectAtTheEnd) {
  Add("A");
  Add("B");
  StartUp();
  TJvHidDevice* held = CheckOut("A");
  platform.Unplug(ids["A"]);
  Notify();
  TakeEvents();
  platform.Plug(ids["A"]);
  Notify();
  // The old object is reported gone again, the new one arrives at the end.
  EXPECT_EQ(TakeEvents(), (Events{"removal A@0", "arrival A@2", "change"}));
  EXPECT_EQ(ListNames(), (Events{"A!", "B", "A"}));
  EXPECT_NE(Listed("A"), held);
  delete held;
  EXPECT_EQ(ListNames(), (Events{"B", "A"}));
}

TEST_F(ControllerScan, FailedClassDevsCountsEveryDeviceAsGoneUntilAScanSucceeds) {
  Add("A");
  StartUp();
  TakeEvents();
  platform.SetClassDevsFails(true);
  Notify();
  EXPECT_EQ(TakeEvents(), (Events{"removal A@0", "change"}));
  EXPECT_TRUE(ctl->DeviceList().empty());
  platform.SetClassDevsFails(false);
  Notify();
  EXPECT_EQ(TakeEvents(), (Events{"arrival A@0", "change"}));
}

TEST_F(ControllerScan, InterfacesThatCannotBeQueriedOrMadeAreSkippedNotRetried) {
  Add("A");
  auto sizeFails = Config();
  sizeFails.detailFailure = simulated_hid::DetailFailure::SizeQuery;
  Add("B", sizeFails);
  auto dataFails = Config();
  dataFails.detailFailure = simulated_hid::DetailFailure::DataQuery;
  Add("C", dataFails);
  auto closed = Config();
  closed.open = simulated_hid::OpenPolicy::Never;
  Add("D", closed);
  auto anonymous = Config();
  anonymous.attributesFail = true;
  Add("E", anonymous);
  Add("F");
  StartUp();
  EXPECT_EQ(TakeEvents(), (Events{"arrival A@0", "arrival F@1", "change"}));
  // The failed devices took their handles and records with them.
  EXPECT_EQ(platform.TotalOpenHandles(), 0);
  EXPECT_EQ(platform.OpenAttempts(ids["D"]), 2);  // read/write, then query-only
}

TEST_F(ControllerScan, ADeviceThatStopsOpeningIsReportedGoneAndComesBackLater) {
  Add("A");
  StartUp();
  TakeEvents();
  platform.Configure(ids["A"], [](simulated_hid::DeviceConfig& c) { c.open = simulated_hid::OpenPolicy::Never; });
  Notify();
  EXPECT_EQ(TakeEvents(), (Events{"removal A@0", "change"}));
  platform.Configure(ids["A"], [](simulated_hid::DeviceConfig& c) { c.open = simulated_hid::OpenPolicy::ReadWrite; });
  Notify();
  EXPECT_EQ(TakeEvents(), (Events{"arrival A@0", "change"}));
}

TEST_F(ControllerScan, QueryOnlyDeviceIsListedWithoutReadWriteAccess) {
  auto config = Config();
  config.open = simulated_hid::OpenPolicy::QueryOnly;
  config.productString = u"Keyboard";
  Add("K", config);
  StartUp();
  TJvHidDevice* device = CheckOut("K");
  EXPECT_FALSE(device->ReadWriteAccess());
  EXPECT_EQ(device->ProductString(), u"Keyboard");
  DWORD written = 77;
  const BYTE request[2] = {0, 0xAA};
  // Opens (query-only) but the write fails in the platform call.
  EXPECT_FALSE(device->WriteReport(request, 2, written));
  EXPECT_NE(device->SyncHandle(), INVALID_HANDLE_VALUE);
}

TEST_F(ControllerScan, NotificationsOtherThanNodeChangesAreNotActedUpon) {
  Add("A");
  StartUp();
  TakeEvents();
  platform.Unplug(ids["A"]);
  hid::PostNotifyMessage(ctl->NotifyWindow(), WM_DEVICECHANGE, 0x8000 /* arrival */, 0);
  hid::PostNotifyMessage(ctl->NotifyWindow(), 0x0401 /* a message of its own */, DBT_DEVNODES_CHANGED, 0);
  loop.RunPending();
  EXPECT_TRUE(TakeEvents().empty());
  hid::PostNotifyMessage(ctl->NotifyWindow(), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 5);
  loop.RunPending();
  EXPECT_EQ(TakeEvents(), (Events{"removal A@0", "change"}));
  EXPECT_EQ(ctl->LastChangeParam(), 5);
}

TEST_F(ControllerScan, NotificationDuringARescanIsDroppedNotQueued) {
  Add("A");
  CreateController();
  struct Reentrant {
    HidFixture* fixture;
    simulated_hid::TestEventLoop* loop;
    TJvHidDeviceController* ctl;
    int arrivals = 0;
    bool sawActive = false;
    void Arrival(TJvHidDevice*) {
      ++arrivals;
      sawActive = ctl->RescanActive();
      // A handler that lets messages in while the re-scan runs.
      hid::BroadcastDeviceChange();
      loop->RunPending();
    }
  } reentrant{this, &loop, ctl.get()};
  ctl->OnArrival = TJvHidPlugEvent(&reentrant, &Reentrant::Arrival);
  loop.RunPending();
  EXPECT_EQ(reentrant.arrivals, 1);
  EXPECT_TRUE(reentrant.sawActive);
  EXPECT_FALSE(ctl->RescanActive());
  EXPECT_EQ(TakeEvents(), (Events{"change"}));
}

TEST_F(ControllerScan, ARescanRunFromAnArrivalHandlerListsNoDeviceTwice) {
  Add("A");
  Add("B");
  Add("C");
  CreateController();
  struct Rescanner {
    TJvHidDeviceController* ctl;
    int arrivals = 0;
    void Arrival(TJvHidDevice*) {
      if (++arrivals == 1) ctl->DeviceChange();
    }
  } rescanner{ctl.get()};
  ctl->OnArrival = TJvHidPlugEvent(&rescanner, &Rescanner::Arrival);
  loop.RunPending();
  EXPECT_EQ(ListNames(), (Events{"A", "B", "C"}));
  EXPECT_EQ(rescanner.arrivals, 3);
  EXPECT_EQ(platform.TotalOpenHandles(), 0);
}

TEST_F(ControllerScan, HandlerExceptionLeavesTheRescanWithItsFlagsRestored) {
  Add("A");
  Add("B");
  CreateController();
  struct Thrower {
    TJvHidDevice* seen = nullptr;
    void Arrival(TJvHidDevice* device) {
      seen = device;
      throw std::runtime_error("handler failed");
    }
  } thrower;
  ctl->OnArrival = TJvHidPlugEvent(&thrower, &Thrower::Arrival);
  EXPECT_THROW(loop.RunPending(), std::runtime_error);
  EXPECT_FALSE(ctl->RescanActive());
  ASSERT_NE(thrower.seen, nullptr);
  EXPECT_FALSE(thrower.seen->InControllerEvent());
  // A listed before its handler ran; B, not yet listed, went with the scan.
  EXPECT_EQ(ListNames(), (Events{"A"}));
  EXPECT_EQ(platform.TotalOpenHandles(), 0);
  // The next notification is handled, not dropped, and B arrives.
  ctl->OnArrival = TJvHidPlugEvent(&log, &EventLog::Arrival);
  Notify();
  EXPECT_EQ(TakeEvents(), (Events{"arrival B@1", "change"}));
}

TEST_F(ControllerScan, DeviceChangeAssignedBeforeAnyNotificationRescansAndReports) {
  StartUp();
  TakeEvents();
  // LastChangeParam is still the start-up -1: the re-scan reports a change.
  ctl->SetOnDeviceChange(TNotifyEvent(&log, &EventLog::Change2));
  EXPECT_EQ(TakeEvents(), (Events{"change2"}));
  Notify();
  ctl->SetOnDeviceChange(TNotifyEvent(&log, &EventLog::Change));
  EXPECT_TRUE(TakeEvents().empty());
}

}  // namespace
}  // namespace hidtest
