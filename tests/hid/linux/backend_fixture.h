// A service table filled by the Linux backend, over a fresh testbed with
// virtual HID devices.
#pragma once

#include <gtest/gtest.h>

#include <sys/types.h>

#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <utility>

#include "hid/service_table.h"
#include "tests/hid/linux/descriptors.h"
#include "tools/vorda2-emulator/virtual_hidraw_linux.h"
#include "tools/vorda2-emulator/virtual_stopwatch.h"

namespace lumetra::test {

using emulator::StopwatchSpec;
virtual_hid::HidDeviceSpec KeyboardSpec();
virtual_hid::HidDeviceSpec NumberedSpec();

// The stopwatch's answer to a request 0x00 0xAA+i: slot i's ten data bytes.
virtual_hid::Report StopwatchAnswer(int slot);

// Whether thread `tid` of this process waits in poll(), where every blocking
// read and alertable wait of the backend waits; checked until `timeout`.
// What a test observes before it closes, cancels or unplugs under a read.
bool WaitUntilPolling(pid_t tid, std::chrono::milliseconds timeout);

// Runs `call` on a thread of its own and returns once that thread waits in
// poll() (a failed expectation if it never does).
template <class Call>
auto StartBlockingCall(Call call) -> std::future<decltype(call())> {
  std::promise<pid_t> started;
  auto result = std::async(std::launch::async, [&started, call = std::move(call)]() mutable {
    started.set_value(gettid());
    return call();
  });
  EXPECT_TRUE(WaitUntilPolling(started.get_future().get(), std::chrono::seconds(5))) << "the call never came to wait";
  return result;
}

class BackendTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Opens a node for reading and writing (or with the given access).
  HANDLE Open(const std::string& path, DWORD access = GENERIC_READ | GENERIC_WRITE);

  virtual_hid::Testbed testbed_;
  hid::ServiceTable table_;
};

}  // namespace lumetra::test
