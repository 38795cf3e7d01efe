// How the stopwatch is told apart from the other HID devices present.
#pragma once

#include <cstdint>
#include <string_view>

namespace stopwatch {

// The USB product string the stopwatch reports, compared exactly after trimming.
inline constexpr std::u16string_view kProductString = u"STOP-WATCH \"VORDA-2\"";
inline constexpr std::uint16_t kVendorId = 0x04D8;
inline constexpr std::uint16_t kProductId = 0xF67A;

// Removes every code unit of 32 or less (space and control characters) from
// both ends; what lies between stays untouched.
std::u16string_view TrimControlAndSpace(std::u16string_view text);

// True when the device is the stopwatch: the trimmed product string first,
// then the vendor, then the product identifier.
bool IsStopwatch(std::u16string_view productString, std::uint16_t vendorId, std::uint16_t productId);

}  // namespace stopwatch
