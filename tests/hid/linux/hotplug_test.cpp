// Device-change notices and device identity across unplugging.
#include <poll.h>
#include <umockdev.h>

#include "backend_fixture.h"
#include "hid/device_change_monitor.h"
#include "tests/support/interface_scan.h"

namespace lumetra::test {
namespace {

bool Readable(int fd, int timeout_ms) {
  pollfd p{fd, POLLIN, 0};
  return poll(&p, 1, timeout_ms) == 1;
}

class HotplugTest : public BackendTest {
 protected:
  std::vector<DWORD> DevInsts() {
    std::vector<DWORD> found;
    for (const ScannedInterface& scanned : ScanPresentInterfaces(table_)) found.push_back(scanned.dev_inst);
    return found;
  }
};

TEST_F(HotplugTest, MonitorReportsAddsAndRemovesOfHidrawNodesOnly) {
  auto monitor = hid::CreateDeviceChangeMonitor();
  ASSERT_NE(monitor, nullptr);
  EXPECT_FALSE(monitor->Drain());
  // Another kind of device: no notice.
  gchar* input = umockdev_testbed_add_device(testbed_.raw(), "input", "event7", nullptr, "name", "Power Button",
                                             nullptr, "DEVNAME", "/dev/input/event7", nullptr);
  umockdev_testbed_uevent(testbed_.raw(), input, "add");
  g_free(input);
  EXPECT_FALSE(Readable(monitor->Fd(), 100) && monitor->Drain());
  auto stopwatch = testbed_.Plug(StopwatchSpec());
  ASSERT_TRUE(Readable(monitor->Fd(), 5000));
  EXPECT_TRUE(monitor->Drain());
  EXPECT_FALSE(monitor->Drain());  // everything was consumed
  EXPECT_FALSE(Readable(monitor->Fd(), 50));
  testbed_.Unplug(*stopwatch);
  ASSERT_TRUE(Readable(monitor->Fd(), 5000));
  EXPECT_TRUE(monitor->Drain());
}

TEST_F(HotplugTest, AReplugGivesANewDevInstAndTheOldOneIsGone) {
  auto first = testbed_.Plug(StopwatchSpec());
  auto keyboard = testbed_.Plug(KeyboardSpec());
  const auto before = DevInsts();
  ASSERT_EQ(before.size(), 2u);
  testbed_.Unplug(*first);
  const auto unplugged = DevInsts();
  ASSERT_EQ(unplugged.size(), 1u);
  EXPECT_EQ(unplugged[0], before[1]);  // the keyboard keeps its key
  auto second = testbed_.Plug(StopwatchSpec());
  const auto after = DevInsts();
  ASSERT_EQ(after.size(), 2u);
  for (DWORD key : after) EXPECT_NE(key, before[0]);

  // The new plug-in answers as the first did.
  second->SetWriteHandler([](std::span<const std::uint8_t>) { return std::vector<mock::Report>{StopwatchAnswer(3)}; });
  HANDLE handle = Open(second->node());
  const BYTE request[2] = {0x00, 0xAD};
  BYTE answer[11] = {};
  DWORD count = 0;
  EXPECT_TRUE(table_.file.WriteFile(handle, request, 2, &count, nullptr));
  EXPECT_TRUE(table_.file.ReadFile(handle, answer, 11, &count, nullptr));
  EXPECT_EQ(answer[1], StopwatchAnswer(3)[0]);
  table_.file.CloseHandle(handle);
}

}  // namespace
}  // namespace lumetra::test
