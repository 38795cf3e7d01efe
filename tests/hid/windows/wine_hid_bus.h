// Whether the test program runs with Wine's virtual HID bus, and what the
// bus presents.
//
// Wine's virtual HID bus presents a keyboard and a mouse even without a
// display. CTest runs the test programs with LUMETRA_WINE_HID_BUS=on in a
// prefix with the bus, and =off in one where it is switched off
// (tests/hid/windows/CMakeLists.txt); the tests that depend on it fail when
// it says neither, rather than pass without checking anything.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace wintest {

// "on", "off", or empty when unknown.
inline std::string HidBus() {
  const char* value = std::getenv("LUMETRA_WINE_HID_BUS");
  return value != nullptr ? value : "";
}

// The HID interfaces the bus presents: its keyboard and its mouse.
inline constexpr int kBusInterfaces = 2;

// How many HID interfaces must be present, as the environment says; fails
// the calling test (and gives -1) when it does not say.
inline int ExpectedInterfaces() {
  const std::string bus = HidBus();
  if (bus == "on") return kBusInterfaces;
  if (bus == "off") return 0;
  ADD_FAILURE() << "LUMETRA_WINE_HID_BUS must be \"on\" or \"off\" (Wine's virtual HID bus); it is \"" << bus << "\"";
  return -1;
}

}  // namespace wintest
