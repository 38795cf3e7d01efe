// Finding the stopwatch among the HID devices and following it as it comes
// and goes, as the state line shows it.
#include "tests/app/window_fixture.h"

namespace {

TEST_F(WindowOnSimulatedPlatform, NoStopwatchKeepsTheStartText) {
  platform.AddDevice(MouseConfig());
  Start();
  EXPECT_EQ(Label2Text(), "Секундомер не подключен");
  EXPECT_EQ(Label2Colour(), clBlue);
  EXPECT_EQ(StopwatchDevice, nullptr);
  EXPECT_EQ(form->HidCtl->Count(), 1);
}

TEST_F(WindowOnSimulatedPlatform, StopwatchPresentAtStartIsCheckedOutByTheFirstScan) {
  platform.AddDevice(MouseConfig());
  const auto id = platform.AddDevice(StopwatchConfig());
  form = app::CreateMainWindow();
  // Nothing is looked at before the event loop runs the posted notice.
  EXPECT_EQ(StopwatchDevice, nullptr);
  EXPECT_EQ(Label2Text(), "Секундомер не подключен");
  Settle();
  ASSERT_NE(StopwatchDevice, nullptr);
  EXPECT_EQ(StopwatchDevice->PnPInfo()->DevicePath, platform.PathOf(id));
  EXPECT_TRUE(StopwatchDevice->CheckedOut());
  EXPECT_EQ(Label2Text(), "Секундомер подключен");
  EXPECT_EQ(Label2Colour(), clGreen);
}

TEST_F(WindowOnSimulatedPlatform, IdentityNeedsTheTrimmedNameAndBothIdentifiers) {
  struct Case {
    const char* what;
    simulated_hid::DeviceConfig config;
    bool matches;
  };
  auto with = [](auto change) {
    auto config = StopwatchConfig();
    change(config);
    return config;
  };
  const Case cases[] = {
      {"padded with spaces and controls", StopwatchConfig(u"\t STOP-WATCH \"VORDA-2\" \r\n"), true},
      {"lower case", StopwatchConfig(u"stop-watch \"vorda-2\""), false},
      {"two inner spaces", StopwatchConfig(u"STOP-WATCH  \"VORDA-2\""), false},
      {"missing quote", StopwatchConfig(u"STOP-WATCH \"VORDA-2"), false},
      {"other vendor", with([](auto& c) { c.vendorId = 0x04D9; }), false},
      {"other product", with([](auto& c) { c.productId = 0xF67B; }), false},
      {"unreadable product string", with([](auto& c) { c.productStringFails = true; }), false},
  };
  for (const Case& c : cases) {
    const auto id = platform.AddDevice(c.config);
    Start();
    EXPECT_EQ(StopwatchDevice != nullptr, c.matches) << c.what;
    EXPECT_EQ(Label2Text() == "Секундомер подключен", c.matches) << c.what;
    CloseWindow();
    platform.Unplug(id);
  }
}

TEST_F(WindowOnSimulatedPlatform, UnplugAndReplugFollowTheStopwatch) {
  const auto id = platform.AddDevice(StopwatchConfig());
  Start();
  TJvHidDevice* const first = StopwatchDevice;
  ASSERT_NE(first, nullptr);

  Unplug(id);
  EXPECT_EQ(StopwatchDevice, nullptr);
  EXPECT_EQ(Label2Text(), "Секундомер отключен");
  EXPECT_EQ(Label2Colour(), clBlue);
  // The controller keeps the unplugged object and reports it again at every
  // re-scan; the window no longer holds it and does nothing.
  AddAndAnnounce(MouseConfig());
  EXPECT_EQ(Label2Text(), "Секундомер отключен");

  Plug(id);
  ASSERT_NE(StopwatchDevice, nullptr);
  EXPECT_NE(StopwatchDevice, first);
  EXPECT_EQ(Label2Text(), "Секундомер подключен");
  EXPECT_EQ(Label2Colour(), clGreen);
  // The old object's repeated removal leaves the new one alone.
  hid::BroadcastDeviceChange();
  Settle();
  EXPECT_EQ(Label2Text(), "Секундомер подключен");
  EXPECT_NE(StopwatchDevice, nullptr);
}

TEST_F(WindowOnSimulatedPlatform, FirstOfTwoStopwatchesWinsAndTheOtherWaitsForAnArrival) {
  const auto a = platform.AddDevice(StopwatchConfig());
  const auto b = platform.AddDevice(StopwatchConfig());
  Start();
  ASSERT_NE(StopwatchDevice, nullptr);
  EXPECT_EQ(StopwatchDevice->PnPInfo()->DevicePath, platform.PathOf(a));

  Unplug(a);
  EXPECT_EQ(StopwatchDevice, nullptr);
  EXPECT_EQ(Label2Text(), "Секундомер отключен");

  // Any arrival makes the window look at every device again.
  AddAndAnnounce(MouseConfig());
  ASSERT_NE(StopwatchDevice, nullptr);
  EXPECT_EQ(StopwatchDevice->PnPInfo()->DevicePath, platform.PathOf(b));
  EXPECT_EQ(Label2Text(), "Секундомер подключен");
}

TEST_F(WindowOnSimulatedPlatform, OtherDevicesComingAndGoingChangeNothing) {
  platform.AddDevice(StopwatchConfig());
  const auto mouse = platform.AddDevice(MouseConfig());
  Start();
  TJvHidDevice* const held = StopwatchDevice;
  ASSERT_NE(held, nullptr);
  Unplug(mouse);
  Plug(mouse);
  EXPECT_EQ(StopwatchDevice, held);
  EXPECT_EQ(Label2Text(), "Секундомер подключен");
}

}  // namespace
