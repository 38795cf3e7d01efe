// The controller's operations and properties: enumeration, check-out,
// handler and sleep-time setters, giving devices back, destruction, and the
// inert controller without services.
#include "tests/hid/hid_test_support.h"

namespace hidtest {
namespace {

class ControllerApi : public HidFixture {
 protected:
  void SetUp() override {
    Add("A");
    Add("B");
    Add("C");
    Add("D");
    StartUp();
    TakeEvents();
  }
};

// A second receiver whose handlers share functions with EventLog's.
struct DataSink {
  std::vector<std::string>* out = nullptr;
  void Data(TJvHidDevice*, std::uint8_t, const void*, std::uint16_t) { out->push_back("data"); }
  void OtherData(TJvHidDevice*, std::uint8_t, const void*, std::uint16_t) { out->push_back("other data"); }
  void Error(TJvHidDevice*, std::uint32_t) {}
  void OtherError(TJvHidDevice*, std::uint32_t) {}
  void Unplug(TJvHidDevice*) {}
  void OtherUnplug(TJvHidDevice*) {}
};

TEST_F(ControllerApi, EnumerateStopsWhereTheHandlerSaysAndCountsThatDevice) {
  log.stopAt = 3;
  EXPECT_EQ(ctl->EnumerateDevices(), 3);
  EXPECT_EQ(TakeEvents(), (Events{"enumerate A@0", "enumerate B@1", "enumerate C@2"}));
  log.offered = 0;
  log.stopAt = -1;
  EXPECT_EQ(ctl->EnumerateDevices(), 4);
}

TEST_F(ControllerApi, EnumerateWithoutHandlerStopsAtTheFirstPluggedDevice) {
  ctl->OnEnumerate = nullptr;
  EXPECT_EQ(ctl->EnumerateDevices(), 1);
  TJvHidDevice* held = CheckOut("A");
  platform.Unplug(ids["A"]);
  platform.Unplug(ids["B"]);
  platform.Unplug(ids["C"]);
  platform.Unplug(ids["D"]);
  Notify();
  EXPECT_EQ(ctl->EnumerateDevices(), 0);  // only the unplugged, held A is left
  delete held;
}

TEST_F(ControllerApi, OfferedDeviceCanBeUsedInsideTheHandlerAndIsClosedAfterUnlessTaken) {
  struct Taker {
    TJvHidDeviceController* ctl;
    TJvHidDevice* taken = nullptr;
    std::vector<std::u16string> strings;
    bool Enumerate(TJvHidDevice* device, const std::int32_t index) {
      EXPECT_TRUE(device->InControllerEvent());
      strings.push_back(device->ProductString());
      // Leaves a handle open on purpose.
      EXPECT_TRUE(device->OpenSyncHandle());
      if (index == 1) ctl->CheckOutDevice(taken, index);
      return true;
    }
  } taker{ctl.get(), nullptr, {}};
  ctl->OnEnumerate = TJvHidEnumerateEvent(&taker, &Taker::Enumerate);
  EXPECT_EQ(ctl->EnumerateDevices(), 4);
  EXPECT_EQ(taker.strings.size(), 4u);
  EXPECT_EQ(taker.strings[0], u"Device");
  ASSERT_NE(taker.taken, nullptr);
  for (TJvHidDevice* device : ctl->DeviceList()) {
    EXPECT_FALSE(device->InControllerEvent());
    if (device == taker.taken) {
      EXPECT_NE(device->SyncHandle(), INVALID_HANDLE_VALUE);
    } else {
      EXPECT_EQ(device->SyncHandle(), INVALID_HANDLE_VALUE);
    }
  }
  EXPECT_EQ(platform.TotalOpenHandles(), 1);
}

TEST_F(ControllerApi, CheckOutRefusesBadIndicesAndASecondCheckOut) {
  TJvHidDevice* device = reinterpret_cast<TJvHidDevice*>(this);  // any non-null value
  EXPECT_FALSE(ctl->CheckOutDevice(device, -1));
  EXPECT_EQ(device, nullptr);
  device = reinterpret_cast<TJvHidDevice*>(this);
  EXPECT_FALSE(ctl->CheckOutDevice(device, ctl->Count()));
  EXPECT_EQ(device, nullptr);
  EXPECT_TRUE(ctl->CheckOutDevice(device, 2));
  EXPECT_EQ(device, ctl->DeviceList()[2]);
  EXPECT_TRUE(device->CheckedOut());
  TJvHidDevice* again = reinterpret_cast<TJvHidDevice*>(this);
  EXPECT_FALSE(ctl->CheckOutDevice(again, 2));
  EXPECT_EQ(again, nullptr);
}

TEST_F(ControllerApi, DeviceChangeSetterIgnoresTheSameFunctionAndRescansForAnother) {
  EventLog other;
  other.controller = ctl.get();
  other.names = &names;
  // Same function, other object: ignored, not even stored.
  ctl->SetOnDeviceChange(TNotifyEvent(&other, &EventLog::Change));
  EXPECT_EQ(ctl->OnDeviceChange().Data(), &log);
  EXPECT_TRUE(TakeEvents().empty());
  EXPECT_TRUE(other.events.empty());
  // Another function: stored and a re-scan at once (it reports a change:
  // no notification since the start-up one).
  ctl->SetOnDeviceChange(TNotifyEvent(&other, &EventLog::Change2));
  EXPECT_EQ(other.events, (Events{"change2"}));
  // While loading: stored, no re-scan.
  ctl->BeginLoading();
  ctl->SetOnDeviceChange(TNotifyEvent(&log, &EventLog::Change));
  ctl->Loaded();
  EXPECT_TRUE(TakeEvents().empty());
  EXPECT_TRUE(ctl->OnDeviceChange().SameMethod(TNotifyEvent(&log, &EventLog::Change)));
}

TEST_F(ControllerApi, DataAndUnplugSettersSpreadOnlyToDevicesSharingTheControllersFunction) {
  std::vector<std::string> out;
  DataSink sink{&out}, own{&out}, third{&out};
  TJvHidDevice* a = ctl->DeviceList()[0];
  TJvHidDevice* b = ctl->DeviceList()[1];
  ctl->SetOnDeviceData(TJvHidDataEvent(&sink, &DataSink::Data));
  ctl->SetOnDeviceDataError(TJvHidDataErrorEvent(&sink, &DataSink::Error));
  ctl->SetOnDeviceUnplug(TJvHidPlugEvent(&sink, &DataSink::Unplug));
  for (TJvHidDevice* device : ctl->DeviceList()) {
    EXPECT_TRUE(device->OnData().SameMethod(ctl->OnDeviceData()));
    EXPECT_TRUE(device->OnDataError().SameMethod(ctl->OnDeviceDataError()));
    EXPECT_TRUE(device->OnUnplug.SameMethod(ctl->OnDeviceUnplug()));
  }
  // B gets handlers of its own.
  b->SetOnData(TJvHidDataEvent(&third, &DataSink::OtherData));
  b->OnUnplug = TJvHidPlugEvent(&third, &DataSink::OtherUnplug);
  // The same functions on another object change nothing.
  ctl->SetOnDeviceData(TJvHidDataEvent(&own, &DataSink::Data));
  EXPECT_EQ(ctl->OnDeviceData().Data(), &sink);
  EXPECT_EQ(a->OnData().Data(), &sink);
  // New functions replace the controller's on the devices that share it.
  ctl->SetOnDeviceData(TJvHidDataEvent(&own, &DataSink::OtherData));
  ctl->SetOnDeviceUnplug(nullptr);
  ctl->SetOnDeviceDataError(TJvHidDataErrorEvent(&own, &DataSink::OtherError));
  EXPECT_TRUE(a->OnData().SameMethod(TJvHidDataEvent(&own, &DataSink::OtherData)));
  EXPECT_FALSE(a->OnUnplug.Assigned());
  EXPECT_TRUE(b->OnUnplug.SameMethod(TJvHidPlugEvent(&third, &DataSink::OtherUnplug)));
  EXPECT_TRUE(a->OnDataError().SameMethod(TJvHidDataErrorEvent(&own, &DataSink::OtherError)));
  // B's own handler did not share the controller's function: left alone.
  EXPECT_EQ(b->OnData().Data(), &third);
}

TEST_F(ControllerApi, NewDevicesTakeDataAndUnplugHandlersButNotTheErrorHandlerOrSleepTime) {
  std::vector<std::string> out;
  DataSink sink{&out};
  ctl->SetOnDeviceData(TJvHidDataEvent(&sink, &DataSink::Data));
  ctl->SetOnDeviceDataError(TJvHidDataErrorEvent(&sink, &DataSink::Error));
  ctl->SetOnDeviceUnplug(TJvHidPlugEvent(&sink, &DataSink::Unplug));
  ctl->SetDevThreadSleepTime(250);
  Add("E");
  Notify();
  TJvHidDevice* e = Listed("E");
  ASSERT_NE(e, nullptr);
  EXPECT_TRUE(e->OnData().SameMethod(ctl->OnDeviceData()));
  EXPECT_TRUE(e->OnUnplug.SameMethod(ctl->OnDeviceUnplug()));
  EXPECT_FALSE(e->OnDataError().Assigned());
  EXPECT_EQ(e->ThreadSleepTime(), 100);
  EXPECT_EQ(Listed("A")->ThreadSleepTime(), 250);
}

TEST_F(ControllerApi, SleepTimeOutsideTheDeviceRangeStrandsTheDevicesAtTheirValue) {
  ctl->SetDevThreadSleepTime(5);
  EXPECT_EQ(ctl->DevThreadSleepTime(), 5);
  for (TJvHidDevice* device : ctl->DeviceList()) EXPECT_EQ(device->ThreadSleepTime(), 100);
  ctl->SetDevThreadSleepTime(200);
  EXPECT_EQ(ctl->DevThreadSleepTime(), 200);
  for (TJvHidDevice* device : ctl->DeviceList()) EXPECT_EQ(device->ThreadSleepTime(), 100);
  // A device with a value of its own is left alone.
  ctl->DeviceList()[0]->SetThreadSleepTime(300);
  ctl->SetDevThreadSleepTime(100);
  ctl->SetDevThreadSleepTime(400);
  EXPECT_EQ(ctl->DeviceList()[0]->ThreadSleepTime(), 300);
  EXPECT_EQ(ctl->DeviceList()[1]->ThreadSleepTime(), 400);
}

TEST_F(ControllerApi, VersionIgnoresWrites) {
  EXPECT_EQ(ctl->Version(), "1.0.35");
  ctl->SetVersion("2.0");
  EXPECT_EQ(ctl->Version(), "1.0.35");
}

TEST_F(ControllerApi, GivingBackAPluggedDeviceReplacesItInPlace) {
  std::vector<std::string> out;
  DataSink own{&out};
  TJvHidDevice* held = CheckOut("B");
  held->OnUnplug = TJvHidPlugEvent(&own, &DataSink::OtherUnplug);
  held->SetThreadSleepTime(500);
  const std::string path = held->PnPInfo()->DevicePath;
  delete held;
  ASSERT_EQ(ctl->Count(), 4);
  TJvHidDevice* fresh = ctl->DeviceList()[1];
  EXPECT_FALSE(fresh->CheckedOut());
  EXPECT_TRUE(fresh->Plugged());
  EXPECT_EQ(fresh->PnPInfo()->DevicePath, path);
  EXPECT_EQ(fresh->ThreadSleepTime(), 500);
  EXPECT_TRUE(fresh->OnUnplug.SameMethod(TJvHidPlugEvent(&own, &DataSink::OtherUnplug)));
  EXPECT_EQ(fresh->Controller(), ctl.get());
  // It can be checked out again.
  TJvHidDevice* again = nullptr;
  EXPECT_TRUE(ctl->CheckOutDevice(again, 1));
  EXPECT_EQ(again, fresh);
  // And the next re-scan sees nothing new.
  Notify();
  EXPECT_TRUE(TakeEvents().empty());
}

TEST_F(ControllerApi, GivingBackADeviceThatCannotBeReopenedLeavesNoEntry) {
  TJvHidDevice* held = CheckOut("B");
  platform.Configure(ids["B"], [](simulated_hid::DeviceConfig& c) { c.open = simulated_hid::OpenPolicy::Never; });
  delete held;
  EXPECT_EQ(ListNames(), (Events{"A", "C", "D"}));
  EXPECT_EQ(platform.TotalOpenHandles(), 0);
  // Once it opens again, the next scan reports it as an arrival.
  platform.Configure(ids["B"], [](simulated_hid::DeviceConfig& c) { c.open = simulated_hid::OpenPolicy::ReadWrite; });
  Notify();
  EXPECT_EQ(TakeEvents(), (Events{"arrival B@3", "change"}));
}

TEST_F(ControllerApi, HolderGivingTheDeviceBackInsideItsRemovalIsSafe) {
  struct Holder {
    TJvHidDevice* device = nullptr;
    int removals = 0;
    void Removal(TJvHidDevice* removed) {
      ++removals;
      if (removed == device) {
        delete device;
        device = nullptr;
      }
    }
  } holder;
  holder.device = CheckOut("C");
  ctl->OnRemoval = TJvHidPlugEvent(&holder, &Holder::Removal);
  platform.Unplug(ids["C"]);
  Notify();
  EXPECT_EQ(holder.removals, 1);
  EXPECT_EQ(ListNames(), (Events{"A", "B", "D"}));
  Notify();
  EXPECT_EQ(holder.removals, 1);
}

TEST_F(ControllerApi, DestructionLeavesTheCheckedOutDeviceToItsHolderMarkedUnplugged) {
  std::vector<std::string> unplugged;
  struct Watcher {
    std::vector<std::string>* out;
    void Unplug(TJvHidDevice*) { out->push_back("unplug"); }
  } watcher{&unplugged};
  ctl->SetOnDeviceUnplug(TJvHidPlugEvent(&watcher, &Watcher::Unplug));
  TJvHidDevice* held = CheckOut("B");
  ASSERT_TRUE(held->OpenSyncHandle());
  ctl.reset();
  EXPECT_EQ(unplugged, (Events{"unplug"}));  // only the held device's
  EXPECT_EQ(held->Controller(), nullptr);
  EXPECT_FALSE(held->Plugged());
  EXPECT_EQ(platform.TotalOpenHandles(), 0);
  EXPECT_EQ(platform.SetupFrees(), 1);
  EXPECT_EQ(platform.HidFrees(), 1);
  // Late messages for the destroyed controller's window go nowhere.
  hid::BroadcastDeviceChange();
  EXPECT_EQ(loop.RunPending(), 0u);
  delete held;
  EXPECT_EQ(platform.LivePreparsedData(), 0);
}

TEST_F(ControllerApi, OwnerDestroysItsController) {
  auto* owner = new TComponent(nullptr);
  auto* owned = new TJvHidDeviceController(owner);
  owned->SetName("HidCtl");
  EXPECT_EQ(owner->ComponentCount(), 1);
  EXPECT_EQ(owner->Components(0), owned);
  loop.RunPending();
  EXPECT_EQ(owned->Count(), 4);
  delete owner;  // destroys the controller and its devices
  EXPECT_EQ(platform.TotalOpenHandles(), 0);
  EXPECT_EQ(platform.LivePreparsedData(), 0);
}

class InertController : public HidFixture {};

TEST_F(InertController, WithoutHidServicesNothingEverHappens) {
  Add("A");
  platform.SetHidServicesLoadable(false);
  StartUp();
  EXPECT_EQ(ctl->NotifyWindow(), nullptr);
  EXPECT_EQ(loop.Pending(), 0u);
  hid::BroadcastDeviceChange();
  loop.RunPending();
  ctl->DeviceChange();
  EXPECT_TRUE(TakeEvents().empty());
  EXPECT_EQ(ctl->EnumerateDevices(), 0);
  TJvHidDevice* device = nullptr;
  EXPECT_FALSE(ctl->CheckOutDevice(device, 0));
  const GUID hid = simulated_hid::SimulatedPlatform::HidGuid();
  EXPECT_EQ(std::memcmp(&ctl->HidClassGuid(), &hid, sizeof hid), 0);
  ctl.reset();
  // The setup services it did acquire are released again.
  EXPECT_EQ(platform.SetupLoads(), 1);
  EXPECT_EQ(platform.SetupFrees(), 1);
}

TEST_F(InertController, WithoutSetupServicesTheHidServicesAreNotEvenTried) {
  platform.SetSetupServicesLoadable(false);
  StartUp();
  EXPECT_EQ(platform.HidLoads(), 0);
  EXPECT_EQ(ctl->NotifyWindow(), nullptr);
  EXPECT_TRUE(TakeEvents().empty());
}

}  // namespace
}  // namespace hidtest
