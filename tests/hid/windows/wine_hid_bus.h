// Whether the test program runs with Wine's virtual HID bus.
//
// Wine's virtual HID bus presents a keyboard and a mouse even without a
// display. scripts/wine-test runs the test programs with
// LUMETRA_WINE_HID_BUS=on in a prefix with the bus, and =off in one where it
// is switched off; a program run by hand knows neither.
#pragma once

#include <cstdlib>
#include <string>

namespace wintest {

// "on", "off", or empty when unknown.
inline std::string HidBus() {
  const char* value = std::getenv("LUMETRA_WINE_HID_BUS");
  return value != nullptr ? value : "";
}

}  // namespace wintest
