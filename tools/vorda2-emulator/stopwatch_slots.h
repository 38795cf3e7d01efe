// The 84 measurements the virtual stopwatch holds, and their answers on the
// wire.
//
// The stopwatch answers a request for slot i with an unnumbered input
// report: the answer of stopwatch/wire_format.h without its report-ID byte,
// as hidraw hands it out (10 bytes: the digits, then the increment flag).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "stopwatch/measurement_table.h"
#include "stopwatch/wire_format.h"

namespace lumetra::emulator {

constexpr std::size_t kAnswerLength = stopwatch::kAnswerLength - 1;

using Answer = std::array<std::uint8_t, kAnswerLength>;
using Slots = std::array<Answer, stopwatch::kSlotCount>;

// The answer for a time of ten-thousandths of a second (0 to 999999999)
// with its flag.
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
