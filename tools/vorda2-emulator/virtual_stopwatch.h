// The virtual VORDA-2 as it presents itself on the USB bus: the one
// description the emulator plugs in and the Linux backend's tests use.
#pragma once

#include <cstdint>
#include <vector>

#include "mock_hidraw_linux.h"

namespace lumetra::emulator {

// Vendor page 0xFF00, usage 1; an unnumbered 10-byte input report and a
// 1-byte output report.
extern const std::vector<std::uint8_t> kStopwatchReportDescriptor;

// USB 04d8:f67a, release 01.02, with the stopwatch's manufacturer and
// product strings.
mock::HidDeviceSpec StopwatchSpec();

}  // namespace lumetra::emulator
