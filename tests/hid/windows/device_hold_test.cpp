// Device holds between processes on the system's own objects: one holder at
// a time, waited for, free again once released or once the holder ends,
// even when it is killed holding it.
#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <string>

#include "hid/service_table.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// The helper program beside this test program.
std::string HelperPath() {
  char self[MAX_PATH];
  const DWORD length = ::GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string path(self, length);
  return path.substr(0, path.find_last_of("\\/") + 1) + "lumetra_device_hold_helper.exe";
}

struct Helper {
  PROCESS_INFORMATION process{};
  HANDLE output = nullptr;  // what it says
};

// Starts the helper; with `awaitHold`, returns once it has said it holds.
Helper Start(const std::string& arguments, bool awaitHold) {
  Helper helper;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE write = nullptr;
  if (!::CreatePipe(&helper.output, &write, &inherit, 0)) return helper;
  ::SetHandleInformation(helper.output, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = write;
  startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
  std::string command = "\"" + HelperPath() + "\" " + arguments;
  if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &helper.process)) {
    helper.process = {};
  }
  ::CloseHandle(write);
  if (awaitHold && helper.process.hProcess != nullptr) {
    char said = 0;
    DWORD read = 0;
    if (!::ReadFile(helper.output, &said, 1, &read, nullptr) || said != 'H') {
      ::TerminateProcess(helper.process.hProcess, 1);
      ::WaitForSingleObject(helper.process.hProcess, INFINITE);
    }
  }
  return helper;
}

DWORD Finish(Helper& helper) {
  DWORD code = 0xFFFFFFFF;
  if (helper.process.hProcess != nullptr) {
    ::WaitForSingleObject(helper.process.hProcess, 30000);
    ::GetExitCodeProcess(helper.process.hProcess, &code);
    ::CloseHandle(helper.process.hProcess);
    ::CloseHandle(helper.process.hThread);
  }
  if (helper.output != nullptr) ::CloseHandle(helper.output);
  helper = {};
  return code;
}

class WindowsDeviceHold : public ::testing::Test {
 protected:
  // Takes the hold, waiting at most `wait`; how long it took goes to `took`.
  HANDLE Hold(const std::string& path, milliseconds wait, milliseconds& took) {
    const auto start = Clock::now();
    HANDLE hold = holds.HoldDevice(path.c_str(), static_cast<DWORD>(wait.count()));
    took = std::chrono::duration_cast<milliseconds>(Clock::now() - start);
    return hold;
  }

  const hid::ServiceTable::Hold holds = hid::PlatformHoldServices();
  // A path of this run alone, shaped as the system's are.
  const std::string path = "\\\\?\\hid#vid_04d8&pid_f67a#lumetra-hold-test-" + std::to_string(::GetCurrentProcessId()) +
                           "#{4d1e55b2-f16f-11cf-88cb-001111000030}";
};

TEST_F(WindowsDeviceHold, AnotherProgramWaitsForTheHoldAndTakesItOnceReleased) {
  milliseconds took{};
  HANDLE mine = Hold(path, milliseconds(0), took);
  ASSERT_NE(mine, INVALID_HANDLE_VALUE) << ::GetLastError();
  Helper busy = Start("try \"" + path + "\"", false);
  EXPECT_EQ(Finish(busy), 3u) << "held here, so busy there";
  // The same device named in other letters is the same device.
  std::string upper = path;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  Helper sameDevice = Start("try \"" + upper + "\"", false);
  EXPECT_EQ(Finish(sameDevice), 3u);
  Helper otherDevice = Start("try \"" + path + "-other\"", false);
  EXPECT_EQ(Finish(otherDevice), 0u);
  EXPECT_TRUE(holds.ReleaseDeviceHold(mine));
  Helper free = Start("try \"" + path + "\"", false);
  EXPECT_EQ(Finish(free), 0u);

  // A holder that lets go after 300 ms is waited for.
  Helper brief = Start("hold-for \"" + path + "\" 300", true);
  HANDLE after = Hold(path, milliseconds(5000), took);
  ASSERT_NE(after, INVALID_HANDLE_VALUE) << ::GetLastError();
  EXPECT_GE(took, milliseconds(150));
  EXPECT_TRUE(holds.ReleaseDeviceHold(after));
  EXPECT_EQ(Finish(brief), 0u);
}

TEST_F(WindowsDeviceHold, AHolderThatIsKilledLeavesTheDeviceFree) {
  Helper holder = Start("hold \"" + path + "\"", true);
  ASSERT_NE(holder.process.hProcess, nullptr);
  milliseconds took{};
  EXPECT_EQ(Hold(path, milliseconds(200), took), INVALID_HANDLE_VALUE);
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_TIMEOUT));
  EXPECT_GE(took, milliseconds(150)) << "the wait is waited out";

  ::TerminateProcess(holder.process.hProcess, 9);
  Finish(holder);
  // The system hands the killed holder's object over as abandoned: free.
  HANDLE after = Hold(path, milliseconds(2000), took);
  ASSERT_NE(after, INVALID_HANDLE_VALUE) << ::GetLastError();
  EXPECT_LT(took, milliseconds(1000)) << "nothing was left to wait for";
  EXPECT_TRUE(holds.ReleaseDeviceHold(after));
}

}  // namespace
