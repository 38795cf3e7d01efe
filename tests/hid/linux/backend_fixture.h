// A service table filled by the Linux backend, over a fresh testbed with
// virtual HID devices.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "descriptors.h"
#include "hid/service_table.h"
#include "mock_hidraw_linux.h"
#include "virtual_stopwatch.h"

namespace lumetra::test {

using emulator::StopwatchSpec;
mock::HidDeviceSpec KeyboardSpec();
mock::HidDeviceSpec NumberedSpec();

// The stopwatch's answer to a request 0x00 0xAA+i: slot i's ten data bytes.
mock::Report StopwatchAnswer(int slot);

class BackendTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Opens a node for reading and writing (or with the given access).
  HANDLE Open(const std::string& path, DWORD access = GENERIC_READ | GENERIC_WRITE);

  mock::Testbed testbed_;
  hid::ServiceTable table_;
};

}  // namespace lumetra::test
