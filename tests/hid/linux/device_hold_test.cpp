// Holds on a hidraw node across processes: one at a time, given up after
// the wait, free again once released or once the process holding it ends,
// however it ends.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "tests/hid/linux/backend_fixture.h"
#include "tests/hid/linux/device_hold_helper.h"

extern char** environ;

namespace lumetra::test {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// This test program started again as a helper that takes the hold on
// `node` and keeps it until it is killed; returns once it holds it.
pid_t StartHolder(const std::string& node) {
  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  std::string self = "/proc/self/exe";
  std::string mode = kHoldHelperArgument;
  char* argv[] = {self.data(), mode.data(), const_cast<char*>(node.c_str()), nullptr};
  pid_t child = -1;
  if (posix_spawn(&child, self.c_str(), &actions, nullptr, argv, environ) != 0) child = -1;
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  char said = 0;
  if (child > 0 && (read(out[0], &said, 1) != 1 || said != 'H')) {
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    child = -1;
  }
  close(out[0]);
  return child;
}

class DeviceHoldTest : public BackendTest {
 protected:
  // Takes the hold, waiting at most `wait`; how long it took goes to `took`.
  HANDLE Hold(const std::string& node, milliseconds wait, milliseconds& took) {
    const auto start = Clock::now();
    HANDLE hold = table_.hold.HoldDevice(node.c_str(), static_cast<DWORD>(wait.count()));
    took = std::chrono::duration_cast<milliseconds>(Clock::now() - start);
    return hold;
  }
};

TEST_F(DeviceHoldTest, OneHoldAtATimeUntilReleasedOrItsProcessEnds) {
  auto stopwatch = testbed_.Plug(StopwatchSpec());
  milliseconds took{};
  HANDLE first = Hold(stopwatch->Node(), milliseconds(0), took);
  ASSERT_NE(first, INVALID_HANDLE_VALUE) << table_.file.GetLastError();
  // Another descriptor is another holder, in this process as in any other.
  EXPECT_EQ(Hold(stopwatch->Node(), milliseconds(150), took), INVALID_HANDLE_VALUE);
  EXPECT_EQ(table_.file.GetLastError(), ERROR_TIMEOUT);
  EXPECT_GE(took, milliseconds(150)) << "the wait is waited out";
  EXPECT_TRUE(table_.hold.ReleaseDeviceHold(first));
  EXPECT_FALSE(table_.hold.ReleaseDeviceHold(first));
  EXPECT_EQ(table_.file.GetLastError(), ERROR_INVALID_HANDLE);

  // A program that holds it and is killed leaves it free.
  const pid_t holder = StartHolder(stopwatch->Node());
  ASSERT_GT(holder, 0) << "the helper took no hold";
  EXPECT_EQ(Hold(stopwatch->Node(), milliseconds(100), took), INVALID_HANDLE_VALUE);
  EXPECT_EQ(table_.file.GetLastError(), ERROR_TIMEOUT);
  kill(holder, SIGKILL);
  waitpid(holder, nullptr, 0);
  HANDLE after = Hold(stopwatch->Node(), milliseconds(2000), took);
  ASSERT_NE(after, INVALID_HANDLE_VALUE) << table_.file.GetLastError();
  EXPECT_LT(took, milliseconds(500)) << "nothing was left to wait for";
  table_.hold.ReleaseDeviceHold(after);

  EXPECT_EQ(Hold("/dev/hidraw-none", milliseconds(0), took), INVALID_HANDLE_VALUE);
  EXPECT_EQ(table_.file.GetLastError(), ERROR_FILE_NOT_FOUND);
}

}  // namespace
}  // namespace lumetra::test
