// The controller on the system's own services, as the program runs it: made
// with the event loop in place, it posts the start-up notice to its real
// notify window and scans when the loop delivers it. With Wine's virtual HID
// bus (wine_hid_bus.h) the scan finds the bus's keyboard and mouse; with the
// bus switched off it finds nothing and still reports the start-up change.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "hid/hid_controller.h"
#include "hid/service_table.h"
#include "stopwatch/identity.h"
#include "tests/hid/hid_test_support.h"
#include "tests/hid/windows/wine_hid_bus.h"
#include "tests/support/test_event_loop.h"

namespace {

using namespace std::chrono_literals;

// What one arrival handler saw of its device.
struct ArrivalSeen {
  TJvHidDevice* device = nullptr;
  int index = -1;  // the device's place in the list while its handler ran
  bool inControllerEvent = false;
  HIDD_ATTRIBUTES attributes{};
  HIDP_CAPS caps{};
};

// What one enumeration handler saw and did.
struct Offer {
  TJvHidDevice* device = nullptr;
  int index = -1;
  std::u16string product;
  bool syncHandleOpened = false;
  bool readHandleOpened = false;
};

class Recorder {
 public:
  TJvHidDeviceController* controller = nullptr;
  std::vector<std::string> events;
  std::vector<ArrivalSeen> arrivals;
  std::vector<Offer> offers;

  void Arrival(TJvHidDevice* device) {
    events.push_back("arrival");
    ArrivalSeen seen;
    seen.device = device;
    const auto& list = controller->DeviceList();
    const auto at = std::find(list.begin(), list.end(), device);
    seen.index = at == list.end() ? -1 : static_cast<int>(at - list.begin());
    seen.inControllerEvent = device->InControllerEvent();
    seen.attributes = device->Attributes();
    seen.caps = device->Caps();  // reads the preparsed data now, through the device
    arrivals.push_back(seen);
  }
  void Removal(TJvHidDevice*) { events.push_back("removal"); }
  void Change(TObject* sender) { events.push_back(sender == controller ? "change" : "change from elsewhere"); }
  bool Enumerate(TJvHidDevice* device, const std::int32_t index) {
    // The product string is fetched here, while the device may be opened;
    // the handles are opened and left for the controller to close.
    Offer offer{device, index, device->ProductString()};
    offer.syncHandleOpened = device->OpenSyncHandle();
    offer.readHandleOpened = device->OpenReadHandle();
    offers.push_back(offer);
    return true;
  }

  int Count(const std::string& event) const {
    return static_cast<int>(std::count(events.begin(), events.end(), event));
  }
};

class WindowsController : public ::testing::Test {
 protected:
  void TearDown() override {
    // A device a test checked out is the test's to give back.
    if (held_ != nullptr) delete held_;
    controller_.reset();
  }

  // As the window's stored layout makes it: handlers set while loading.
  void Create() { controller_ = hidtest::CreateWiredController(recorder_); }

  // Runs the event loop until the first scan has reported its change.
  bool RunFirstScan() {
    return loop_.RunUntil([this] { return recorder_.Count("change") > 0; }, 10s);
  }

  simulated_hid::TestEventLoop loop_;
  Recorder recorder_;
  std::unique_ptr<TJvHidDeviceController> controller_;
  TJvHidDevice* held_ = nullptr;
};

TEST_F(WindowsController, FirstScanRunsFromThePostedStartUpNoticeAndListsTheBusDevices) {
  Create();
  const HWND window = controller_->NotifyWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(::IsWindow(window));
  EXPECT_TRUE(recorder_.events.empty()) << "no device is looked at before the loop runs";

  // The notice waits in the window's queue: a device-change with LParam -1.
  MSG notice{};
  ASSERT_TRUE(::PeekMessageA(&notice, window, WM_DEVICECHANGE, WM_DEVICECHANGE, PM_NOREMOVE));
  EXPECT_EQ(notice.wParam, static_cast<WPARAM>(DBT_DEVNODES_CHANGED));
  EXPECT_EQ(notice.lParam, static_cast<LPARAM>(-1));

  ASSERT_TRUE(RunFirstScan());
  EXPECT_EQ(controller_->LastChangeParam(), -1);
  EXPECT_FALSE(controller_->RescanActive());

  // One arrival per device of the bus, in list order and each already
  // listed, then the change, once.
  const int count = controller_->Count();
  EXPECT_EQ(count, wintest::ExpectedInterfaces());
  ASSERT_EQ(static_cast<int>(recorder_.arrivals.size()), count);
  std::vector<std::string> expected(static_cast<std::size_t>(count), "arrival");
  expected.push_back("change");
  EXPECT_EQ(recorder_.events, expected);
  for (int i = 0; i < count; ++i) {
    SCOPED_TRACE(testing::Message() << "arrival " << i);
    const ArrivalSeen& seen = recorder_.arrivals[static_cast<std::size_t>(i)];
    EXPECT_EQ(seen.index, i);
    EXPECT_EQ(seen.device, controller_->DeviceList()[static_cast<std::size_t>(i)]);
    EXPECT_TRUE(seen.inControllerEvent);
    EXPECT_EQ(seen.attributes.Size, sizeof(HIDD_ATTRIBUTES));
    // Capabilities come from the device's real preparsed data.
    EXPECT_NE(seen.caps.UsagePage, 0);
    EXPECT_FALSE(seen.device->InControllerEvent());
    EXPECT_EQ(seen.device->SyncHandle(), INVALID_HANDLE_VALUE) << "opened only on demand";
  }
}

TEST_F(WindowsController, EnumerationFetchesProductStringsAndFindsNoStopwatchAmongTheBusDevices) {
  Create();
  ASSERT_TRUE(RunFirstScan());
  const int count = controller_->Count();
  EXPECT_EQ(count, wintest::ExpectedInterfaces());
  EXPECT_EQ(controller_->EnumerateDevices(), count);
  ASSERT_EQ(static_cast<int>(recorder_.offers.size()), count);
  for (int i = 0; i < count; ++i) {
    const Offer& offer = recorder_.offers[static_cast<std::size_t>(i)];
    SCOPED_TRACE(testing::Message() << "offer " << i);
    EXPECT_EQ(offer.index, i);
    EXPECT_FALSE(offer.product.empty()) << "every bus device has a product name";
    // Inside the offer the device could be opened; offered and not taken,
    // the controller closed what the handler left open.
    EXPECT_TRUE(offer.syncHandleOpened);
    EXPECT_TRUE(offer.readHandleOpened);
    EXPECT_EQ(offer.device->SyncHandle(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(offer.device->ReadHandle(), INVALID_HANDLE_VALUE);
    const HIDD_ATTRIBUTES& attributes = offer.device->Attributes();
    EXPECT_FALSE(stopwatch::IsStopwatch(offer.product, attributes.VendorID, attributes.ProductID));
  }
}

TEST_F(WindowsController, ASystemBroadcastWithNothingChangedRescansSilently) {
  Create();
  ASSERT_TRUE(RunFirstScan());
  const std::vector<TJvHidDevice*> before = controller_->DeviceList();
  recorder_.events.clear();

  // What the system sends every top-level window when any device node changes.
  ASSERT_TRUE(::PostMessageA(HWND_BROADCAST, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0));
  ASSERT_TRUE(loop_.RunUntil([this] { return controller_->LastChangeParam() == 0; }, 5s))
      << "the broadcast reached the notify window";
  loop_.RunPending();
  EXPECT_TRUE(recorder_.events.empty()) << "not even a change";
  // The devices found again are the ones listed: the fresh duplicates went.
  EXPECT_EQ(controller_->DeviceList(), before);
}

TEST_F(WindowsController, ACheckedOutBusDeviceOpensOnDemandAndIsReplacedInPlaceWhenGivenBack) {
  Create();
  ASSERT_TRUE(RunFirstScan());
  ASSERT_GE(controller_->Count(), 1) << "needs a device of Wine's virtual HID bus";
  const DWORD node = controller_->DeviceList()[0]->PnPInfo()->DevInst;

  ASSERT_TRUE(controller_->CheckOutDevice(held_, 0));
  ASSERT_NE(held_, nullptr);
  TJvHidDevice* again = nullptr;
  EXPECT_FALSE(controller_->CheckOutDevice(again, 0));
  EXPECT_EQ(again, nullptr);
  EXPECT_TRUE(held_->OpenSyncHandle()) << "read-write or query-only";
  EXPECT_NE(held_->Caps().UsagePage, 0);
  EXPECT_FALSE(held_->ProductString().empty());

  recorder_.events.clear();
  delete held_;
  held_ = nullptr;
  ASSERT_GE(controller_->Count(), 1);
  TJvHidDevice* fresh = controller_->DeviceList()[0];
  EXPECT_FALSE(fresh->CheckedOut());
  EXPECT_EQ(fresh->PnPInfo()->DevInst, node);
  EXPECT_TRUE(recorder_.events.empty());
}

TEST_F(WindowsController, DestructionTakesTheWindowAndReleasesTheServices) {
  Create();
  const HWND window = controller_->NotifyWindow();
  ASSERT_TRUE(RunFirstScan());
  EXPECT_TRUE(hid::HidServicesAvailable());
  controller_.reset();
  EXPECT_FALSE(::IsWindow(window));
  EXPECT_FALSE(hid::HidServicesAvailable());
  // A notice left for the window goes nowhere.
  EXPECT_FALSE(::PostMessageA(window, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0));
  EXPECT_EQ(loop_.RunPending(), 0u);
}

}  // namespace
