// The 84 measurements the virtual stopwatch holds, and their answers on the
// wire.
//
// The stopwatch answers a request for slot i with an unnumbered 10-byte
// input report (hidraw hands it out without the report-ID byte): bytes 0..8
// are the decimal digits of the time in units of 0.0001 s, least
// significant first, byte 9 the increment flag.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumetra::emulator {

constexpr int kSlotCount = 84;
constexpr std::uint8_t kFirstRequest = 0xAA;  // slot i is requested with 0xAA + i
constexpr std::size_t kAnswerLength = 10;

using Answer = std::array<std::uint8_t, kAnswerLength>;
using Slots = std::array<Answer, kSlotCount>;

// A time of ten-thousandths of a second (0 to 999999999) with its flag.
Answer AnswerForTime(std::uint32_t ten_thousandths, std::uint8_t increment_flag);

struct SlotsFile {
  std::optional<Slots> slots;  // empty on error
  std::string error;           // "line N: why"
};

// One slot per line, in slot order; blank lines and lines starting with '#'
// are skipped; slots the file does not reach hold 0. A line is either
//   a time in seconds with at most four decimals, optionally followed by the
//   increment flag (0 to 255):          12.3456   or   99.9999 1
// or the raw answer as 10 hex bytes (as hidraw hands them out) or 11 (as the
// program sees them, report ID 00 first):
//   06 05 04 03 02 01 00 00 00 00
SlotsFile ParseSlots(std::string_view text);

// Plausible measurements: lap times of 9 to 25 s, a few long ones that
// show the other number formats, some flagged, the last slots unused.
Slots GenerateSlots(std::uint32_t seed);

// The answer to a request as written to the node (report ID 0 first), or
// nothing when it is not a request for a slot.
std::optional<Answer> AnswerRequest(const Slots& slots, const std::vector<std::uint8_t>& request);

}  // namespace lumetra::emulator
