// Device-change notices and device identity across unplugging.
#include <dirent.h>
#include <poll.h>
#include <unistd.h>
#include <umockdev.h>

#include "hid/device_change_monitor.h"
#include "tests/hid/linux/backend_fixture.h"
#include "tests/support/interface_scan.h"

namespace lumetra::test {
namespace {

bool Readable(int fd, int timeout_ms) {
  pollfd p{fd, POLLIN, 0};
  return poll(&p, 1, timeout_ms) == 1;
}

int OpenDescriptors() {
  int count = 0;
  if (DIR* dir = opendir("/proc/self/fd")) {
    while (readdir(dir) != nullptr) ++count;
    closedir(dir);
  }
  return count;
}

class HotplugTest : public BackendTest {
 protected:
  std::vector<DWORD> DevInsts() {
    std::vector<DWORD> found;
    for (const ScannedInterface& scanned : ScanPresentInterfaces(table_)) found.push_back(scanned.dev_inst);
    return found;
  }

  // The device answers slot `slot`'s request through its node.
  void ExpectAnswers(virtual_hid::HidrawDevice& device, int slot) {
    device.SetWriteHandler(
        [slot](std::span<const std::uint8_t>) { return std::vector<virtual_hid::Report>{StopwatchAnswer(slot)}; });
    HANDLE handle = Open(device.Node());
    const BYTE request[2] = {0x00, static_cast<BYTE>(0xAA + slot)};
    BYTE answer[11] = {};
    DWORD count = 0;
    EXPECT_TRUE(table_.file.WriteFile(handle, request, 2, &count, nullptr));
    EXPECT_TRUE(table_.file.ReadFile(handle, answer, 11, &count, nullptr));
    EXPECT_EQ(answer[1], StopwatchAnswer(slot)[0]);
    table_.file.CloseHandle(handle);
  }
};

TEST_F(HotplugTest, MonitorReportsAddsAndRemovesOfHidrawNodesOnly) {
  auto monitor = hid::CreateDeviceChangeMonitor();
  ASSERT_NE(monitor, nullptr);
  EXPECT_FALSE(monitor->Drain());
  // Another kind of device: no notice.
  gchar* input = umockdev_testbed_add_device(testbed_.Raw(), "input", "event7", nullptr, "name", "Power Button",
                                             nullptr, "DEVNAME", "/dev/input/event7", nullptr);
  umockdev_testbed_uevent(testbed_.Raw(), input, "add");
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
  ExpectAnswers(*second, 3);
}

TEST_F(HotplugTest, ReplugsLeaveNoDescriptorBehindAndReuseTheSystemsTerminals) {
  auto stopwatch = testbed_.Plug(StopwatchSpec());
  testbed_.Unplug(*stopwatch);
  usleep(50000);
  const int before = OpenDescriptors();
  for (int replug = 0; replug < 30; ++replug) {
    stopwatch = testbed_.Plug(StopwatchSpec());
    testbed_.Unplug(*stopwatch);
  }
  // The testbed's worker may still be closing the last connection.
  for (int wait = 0; wait < 100 && OpenDescriptors() > before; ++wait) usleep(10000);
  EXPECT_LE(OpenDescriptors(), before);
  // The last plug-in still works, on a terminal number used before.
  stopwatch = testbed_.Plug(StopwatchSpec());
  ExpectAnswers(*stopwatch, 5);
}

}  // namespace
}  // namespace lumetra::test
