// The device object: identity, handles opened on demand and closed again,
// cached product string, capabilities, synchronous transfers, unplugging.
#include "tests/hid/hid_test_support.h"

namespace hidtest {
namespace {

class Device : public HidFixture {
 protected:
  simulated_hid::DeviceId Stopwatch(simulated_hid::DeviceConfig config = Config(11, 2)) {
    config.versionNumber = 0x0102;
    config.productString = u"  STOP-WATCH \"VORDA-2\" ";
    return Add("S", config);
  }
};

TEST_F(Device, AttributesAndRecordAreReadAtCreation) {
  auto config = Config();
  config.versionNumber = 0x0102;
  config.properties[SPDRP_DEVICEDESC] = simulated_hid::RegistryValue::Text("HID-compliant device");
  config.properties[SPDRP_HARDWAREID] =
      simulated_hid::RegistryValue::TextList({"HID\\VID_04D8&PID_F67A", "HID_DEVICE"});
  config.properties[SPDRP_CAPABILITIES] = simulated_hid::RegistryValue::Number(0x84);
  config.properties[SPDRP_ADDRESS] = simulated_hid::RegistryValue::Number(0x37);  // read as text all the same
  config.properties[SPDRP_UI_NUMBER_DESC_FORMAT] = simulated_hid::RegistryValue::Text("wrong number");
  config.properties[hid::kUiNumberDescFormatProperty] = simulated_hid::RegistryValue::Text("Port %1");
  config.properties[SPDRP_SERVICE] = simulated_hid::RegistryValue::Text("HidUsb");
  Add("A", config);
  StartUp();
  TJvHidDevice* device = Listed("A");
  ASSERT_NE(device, nullptr);
  EXPECT_EQ(device->Attributes().Size, sizeof(HIDD_ATTRIBUTES));
  EXPECT_EQ(device->Attributes().VendorID, 0x04D8);
  EXPECT_EQ(device->Attributes().ProductID, 0xF67A);
  EXPECT_EQ(device->Attributes().VersionNumber, 0x0102);
  const TJvHidPnPInfo& info = *device->PnPInfo();
  EXPECT_EQ(info.DevInst, platform.DevInstOf(ids["A"]));
  EXPECT_EQ(info.DevicePath, platform.PathOf(ids["A"]));
  EXPECT_EQ(info.DeviceDesc, "HID-compliant device");
  EXPECT_EQ(info.HardwareIds, (std::vector<std::string>{"HID\\VID_04D8&PID_F67A", "HID_DEVICE"}));
  EXPECT_EQ(info.Capabilities, 0x84u);
  EXPECT_EQ(info.Address, "7");
  EXPECT_EQ(info.UiNumberDescFormat, "Port %1");
  EXPECT_EQ(info.Service, "HidUsb");
  // Missing properties read as empty or 0.
  EXPECT_EQ(info.FriendlyName, "");
  EXPECT_TRUE(info.CompatibleIds.empty());
  EXPECT_EQ(info.BusNumber, 0u);
}

// Leaves the stack below the caller full of non-zero bytes, as earlier
// calls may have left it.
[[gnu::noinline]] void ScribbleOnTheStack() {
  volatile char junk[64 * 1024];
  for (std::size_t i = 0; i < sizeof junk; ++i) junk[i] = '#';
}

TEST_F(Device, PropertyTextsEndWithTheirValueOrTheBuffer) {
  auto config = Config();
  config.properties[SPDRP_FRIENDLYNAME] = simulated_hid::RegistryValue::Text(std::string(5000, 'x'));
  config.properties[SPDRP_MFG] = simulated_hid::RegistryValue::Binary(std::vector<BYTE>(1024, 'm'));  // no terminator
  config.properties[SPDRP_ADDRESS] = simulated_hid::RegistryValue::Binary({'1', '2', '3'});  // binary, no terminator
  Add("A", config);
  ScribbleOnTheStack();
  StartUp();
  const TJvHidPnPInfo& info = *Listed("A")->PnPInfo();
  EXPECT_EQ(info.FriendlyName, "");  // did not fit: the call failed
  EXPECT_EQ(info.Manufacturer, std::string(1024, 'm'));
  EXPECT_EQ(info.Address, "123");
}

TEST_F(Device, NothingOpensWhileTheDeviceIsNeitherCheckedOutNorInAnEvent) {
  Stopwatch();
  StartUp();
  TJvHidDevice* device = Listed("S");
  const int attempts = platform.OpenAttempts(ids["S"]);
  EXPECT_FALSE(device->IsAccessible());
  EXPECT_FALSE(device->OpenSyncHandle());
  EXPECT_FALSE(device->OpenReadHandle());
  EXPECT_EQ(device->ProductString(), u"");
  EXPECT_EQ(device->PreparsedData(), nullptr);
  const BYTE request[2] = {0, 0xAA};
  BYTE answer[11] = {};
  DWORD written = 1234, read = 4321;
  EXPECT_FALSE(device->WriteReport(request, 2, written));
  EXPECT_FALSE(device->ReadReport(answer, 11, read));
  EXPECT_EQ(written, 1234u);
  EXPECT_EQ(read, 4321u);
  EXPECT_EQ(platform.OpenAttempts(ids["S"]), attempts);
  EXPECT_TRUE(platform.Writes(ids["S"]).empty());
}

TEST_F(Device, AHandleLeftOpenInAnArrivalHandlerStillServesAfterIt) {
  Stopwatch();
  CreateController();
  struct Opener {
    void Arrival(TJvHidDevice* device) { device->OpenSyncHandle(); }
  } opener;
  ctl->OnArrival = TJvHidPlugEvent(&opener, &Opener::Arrival);
  loop.RunPending();
  TJvHidDevice* device = Listed("S");
  EXPECT_FALSE(device->IsAccessible());
  const BYTE request[2] = {0, 0xAB};
  DWORD written = 0;
  EXPECT_TRUE(device->WriteReport(request, 2, written));
  EXPECT_EQ(written, 2u);
}

TEST_F(Device, SyncHandleStaysOpenAfterTransfersAndClosesAfterAFetch) {
  Stopwatch();
  StartUp();
  TJvHidDevice* device = CheckOut("S");
  const BYTE request[2] = {0, 0xAA};
  DWORD written = 0;
  EXPECT_TRUE(device->WriteReport(request, 2, written));
  EXPECT_EQ(platform.Writes(ids["S"]), (std::vector<std::vector<BYTE>>{{0, 0xAA}}));
  EXPECT_NE(device->SyncHandle(), INVALID_HANDLE_VALUE);
  const HANDLE kept = device->SyncHandle();
  EXPECT_TRUE(device->WriteReport(request, 2, written));
  EXPECT_EQ(device->SyncHandle(), kept);
  // A fetch closes the handle, also one left open before.
  EXPECT_EQ(device->ProductString(), u"  STOP-WATCH \"VORDA-2\" ");
  EXPECT_EQ(device->SyncHandle(), INVALID_HANDLE_VALUE);
  EXPECT_EQ(platform.OpenHandles(ids["S"]), 0);
}

TEST_F(Device, SynchronousExchangeGetsTheAnswerToItsRequest) {
  const auto id = Stopwatch();
  platform.SetResponder(id, [](const std::vector<BYTE>& request) {
    return simulated_hid::SimulatedReport{{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, request[1]}};
  });
  StartUp();
  TJvHidDevice* device = CheckOut("S");
  const HIDP_CAPS caps = device->Caps();
  const BYTE request[2] = {0, 0xC0};
  BYTE answer[11] = {};
  DWORD written = 0, read = 0;
  // The answer goes to the handles open when it arrives: SyncHandle,
  // opened by the write.
  ASSERT_TRUE(device->WriteReport(request, caps.OutputReportByteLength, written));
  ASSERT_TRUE(device->ReadReport(answer, caps.InputReportByteLength, read));
  EXPECT_EQ(read, 11u);
  EXPECT_EQ(answer[1], 1);
  EXPECT_EQ(answer[10], 0xC0);
}

TEST_F(Device, CapsComeFromThePreparsedDataFetchedOnce) {
  auto config = Config(11, 2);
  config.usagePage = 0xFF00;
  config.usage = 1;
  config.featureReportLength = 4;
  Add("A", config);
  StartUp();
  TJvHidDevice* device = CheckOut("A");
  const int attempts = platform.OpenAttempts(ids["A"]);
  const HIDP_CAPS caps = device->Caps();
  EXPECT_EQ(caps.InputReportByteLength, 11);
  EXPECT_EQ(caps.OutputReportByteLength, 2);
  EXPECT_EQ(caps.FeatureReportByteLength, 4);
  EXPECT_EQ(caps.UsagePage, 0xFF00);
  EXPECT_EQ(caps.Usage, 1);
  device->Caps();
  EXPECT_EQ(platform.OpenAttempts(ids["A"]), attempts + 1);
  EXPECT_EQ(device->SyncHandle(), INVALID_HANDLE_VALUE);
  EXPECT_EQ(platform.LivePreparsedData(), 1);
  delete device;
  EXPECT_EQ(platform.LivePreparsedData(), 0);
}

TEST_F(Device, CapsAreAllZeroWithoutPreparsedData) {
  auto config = Config(11, 2);
  config.preparsedDataFails = true;
  Add("A", config);
  StartUp();
  TJvHidDevice* device = CheckOut("A");
  const HIDP_CAPS caps = device->Caps();
  const HIDP_CAPS zero{};
  EXPECT_EQ(std::memcmp(&caps, &zero, sizeof caps), 0);
  EXPECT_EQ(device->PreparsedData(), nullptr);
  EXPECT_EQ(platform.OpenHandles(ids["A"]), 0);
}

TEST_F(Device, ProductStringIsCachedCutTo254UnitsAndRetriedAfterAFailure) {
  auto config = Config();
  config.productString = std::u16string(300, u'\u0416');
  config.productStringFails = true;
  const auto id = Add("A", config);
  StartUp();
  TJvHidDevice* device = CheckOut("A");
  EXPECT_EQ(device->ProductString(), u"");
  EXPECT_EQ(device->ProductString(), u"");
  EXPECT_EQ(platform.ProductStringQueries(id), 2);  // a failed fetch is tried again
  platform.Configure(id, [](simulated_hid::DeviceConfig& c) { c.productStringFails = false; });
  EXPECT_EQ(device->ProductString(), std::u16string(254, u'\u0416'));
  platform.Configure(id, [](simulated_hid::DeviceConfig& c) { c.productString = u"Other"; });
  EXPECT_EQ(device->ProductString(), std::u16string(254, u'\u0416'));
  EXPECT_EQ(platform.ProductStringQueries(id), 3);
}

TEST_F(Device, ProductStringStopsAtTheFirstZeroUnit) {
  auto config = Config();
  config.productString = std::u16string(u"Pad\0junk", 8);
  Add("A", config);
  StartUp();
  EXPECT_EQ(CheckOut("A")->ProductString(), u"Pad");
}

TEST_F(Device, ThreadSleepTimeAcceptsOnly10To10000) {
  Add("A");
  StartUp();
  TJvHidDevice* device = Listed("A");
  EXPECT_EQ(device->ThreadSleepTime(), 100);
  device->SetThreadSleepTime(9);
  EXPECT_EQ(device->ThreadSleepTime(), 100);
  device->SetThreadSleepTime(10001);
  EXPECT_EQ(device->ThreadSleepTime(), 100);
  device->SetThreadSleepTime(10);
  EXPECT_EQ(device->ThreadSleepTime(), 10);
  device->SetThreadSleepTime(10000);
  EXPECT_EQ(device->ThreadSleepTime(), 10000);
}

TEST_F(Device, ReadHandleOpensOnDemandAndClosesWithTheOthers) {
  Stopwatch();
  StartUp();
  TJvHidDevice* device = CheckOut("S");
  ASSERT_TRUE(device->OpenReadHandle());
  const HANDLE handle = device->ReadHandle();
  ASSERT_TRUE(device->OpenReadHandle());
  EXPECT_EQ(device->ReadHandle(), handle);
  ASSERT_TRUE(device->OpenSyncHandle());
  EXPECT_EQ(platform.OpenHandles(ids["S"]), 2);
  device->CloseAllHandles();
  EXPECT_EQ(device->ReadHandle(), INVALID_HANDLE_VALUE);
  EXPECT_EQ(device->SyncHandle(), INVALID_HANDLE_VALUE);
  EXPECT_EQ(platform.OpenHandles(ids["S"]), 0);
  EXPECT_FALSE(device->CancelOverlappedRead());
  EXPECT_EQ(device->OverlappedReadResult(), 0u);
}

TEST_F(Device, MarkUnpluggedClosesFiresOnceAndEndsAccess) {
  Stopwatch();
  StartUp();
  ctl->SetOnDeviceUnplug(TJvHidPlugEvent(&log, &EventLog::Unplug));
  TJvHidDevice* device = CheckOut("S");
  ASSERT_TRUE(device->OpenSyncHandle());
  ASSERT_TRUE(device->OpenReadHandle());
  TakeEvents();
  device->MarkUnplugged();
  EXPECT_EQ(TakeEvents(), (Events{"unplug S"}));
  EXPECT_EQ(platform.OpenHandles(ids["S"]), 0);
  device->MarkUnplugged();
  EXPECT_TRUE(TakeEvents().empty());
  EXPECT_FALSE(device->OpenSyncHandle());
  EXPECT_FALSE(device->OpenReadHandle());
}

}  // namespace
}  // namespace hidtest
