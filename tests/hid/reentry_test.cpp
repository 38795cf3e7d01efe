// Handlers that call back into the controller, or give devices back, while
// the controller is still busy with the device they were given: nested
// re-scans, give-backs during a scan and during the controller's end.
#include "tests/hid/hid_test_support.h"

namespace hidtest {
namespace {

class Reentry : public HidFixture {
 protected:
  void SetUp() override {
    StartUpWithThreeLoggingUnplugs();
    TakeEvents();
  }
};

TEST_F(Reentry, ARescanNestedInTheUnplugOrRemovalOfAGoneDeviceFinishesItsRemoval) {
  // From OnUnplug, by a plain re-scan: the inner scan reports the device
  // gone and drops it; the outer one finds nothing left to do for it.
  log.reenterFrom = "unplug";
  log.reenter = [this] { ctl->DeviceChange(); };
  platform.Unplug(ids["A"]);
  Notify();
  EXPECT_EQ(TakeEvents(), (Events{"unplug A", "removal A@0", "change", "change"}));
  EXPECT_EQ(ListNames(), (Events{"B", "C"}));

  // From OnRemoval, by assigning a new OnDeviceChange, which re-scans: the
  // device is still listed then, so the inner scan reports it once more.
  log.reenterFrom = "removal";
  log.reenter = [this] { ctl->SetOnDeviceChange(TNotifyEvent(&log, &EventLog::Change2)); };
  platform.Unplug(ids["B"]);
  Notify();
  EXPECT_EQ(TakeEvents(), (Events{"unplug B", "removal B@0", "removal B@0", "change2", "change2"}));
  EXPECT_EQ(ListNames(), (Events{"C"}));
  EXPECT_EQ(platform.TotalOpenHandles(), 0);
  EXPECT_EQ(platform.LivePreparsedData(), 0);
}

TEST_F(Reentry, ARescanNestedInAnArrivalOrAnOfferThatFindsTheDeviceGoneDropsItSafely) {
  log.reenterFrom = "enumerate";
  log.reenter = [this] {
    platform.Unplug(ids["A"]);
    ctl->DeviceChange();
  };
  log.stopAt = 1;
  EXPECT_EQ(ctl->EnumerateDevices(), 1);
  EXPECT_EQ(TakeEvents(), (Events{"enumerate A@0", "unplug A", "removal A@0", "change"}));
  EXPECT_EQ(ListNames(), (Events{"B", "C"}));

  const simulated_hid::DeviceId d = Add("D");
  log.reenterFrom = "arrival";
  log.reenter = [this, d] {
    platform.Unplug(d);
    ctl->DeviceChange();
  };
  Notify();
  EXPECT_EQ(TakeEvents(), (Events{"arrival D@2", "unplug D", "removal D@2", "change", "change"}));
  EXPECT_EQ(ListNames(), (Events{"B", "C"}));
  EXPECT_EQ(platform.TotalOpenHandles(), 0);
}

TEST_F(Reentry, AnEarlierDeviceGivenBackDuringARemovalIsNotReportedAndShiftsNoOneTwice) {
  TJvHidDevice* a = CheckOut("A");
  TJvHidDevice* c = CheckOut("C");
  platform.Unplug(ids["A"]);
  platform.Unplug(ids["C"]);
  Notify();
  TakeEvents();
  ASSERT_EQ(ListNames(), (Events{"A!", "B", "C!"}));
  // C's removal comes first (last to first); its handler gives A back.
  log.reenterFrom = "removal";
  log.reenter = [a] { delete a; };
  Notify();
  EXPECT_EQ(TakeEvents(), (Events{"removal C@2", "change"}));
  EXPECT_EQ(ListNames(), (Events{"B", "C!"}));
  delete c;
}

TEST_F(Reentry, TheControllersEndSurvivesAnUnplugHandlerThatGivesAnotherDeviceBack) {
  struct GiveBack {
    TJvHidDevice* other = nullptr;
    void Unplug(TJvHidDevice*) {
      delete other;
      other = nullptr;
    }
  } giveBack;
  TJvHidDevice* a = CheckOut("A");
  giveBack.other = CheckOut("B");
  a->OnUnplug = TJvHidPlugEvent(&giveBack, &GiveBack::Unplug);
  ctl.reset();
  EXPECT_EQ(giveBack.other, nullptr);
  EXPECT_FALSE(a->Plugged());
  EXPECT_EQ(platform.TotalOpenHandles(), 0);
  delete a;
  EXPECT_EQ(platform.LivePreparsedData(), 0);
}

}  // namespace
}  // namespace hidtest
