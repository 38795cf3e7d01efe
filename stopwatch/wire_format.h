// The stopwatch's two reports.
//
// Request (computer to stopwatch): byte 0 is the report ID, always 0 since
// the stopwatch does not number its reports; byte 1 is 0xAA + slot.
//
// Answer (stopwatch to computer), eleven bytes: byte 0 is the report ID and
// is not examined; bytes 1 to 9 are decimal digits of the time in 0.0001 s,
// byte 1 the least significant (0.0001 s) and byte 9 the most (10000 s);
// byte 10 is the increment flag, where exactly 1 asks for one more unit on a
// time under 100 s.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "stopwatch/exact_time.h"
#include "stopwatch/measurement_table.h"

namespace stopwatch {

inline constexpr std::size_t kRequestLength = 2;
inline constexpr std::size_t kAnswerLength = 11;
inline constexpr std::uint8_t kFirstSlotRequest = 0xAA;
inline constexpr std::size_t kFirstDigitByte = 1;  // 0.0001 s
inline constexpr std::size_t kLastDigitByte = 9;   // 10000 s
inline constexpr std::size_t kIncrementFlagByte = 10;

using Answer = std::span<std::uint8_t, kAnswerLength>;
// An answer as the stopwatch sent it, before any increment: what a read
// keeps of each slot.
using RawAnswer = std::array<std::uint8_t, kAnswerLength>;
using ConstAnswer = std::span<const std::uint8_t, kAnswerLength>;

std::uint8_t SlotRequestCode(int slot);

// The request for `slot`, in a zero-filled buffer long enough for both the
// two request bytes and the device's declared output report, so that writing
// the declared length never reads past the buffer.
std::vector<std::uint8_t> MakeRequest(int slot, std::size_t outputReportLength);

// Size of a zero-filled answer buffer that holds the eleven answer bytes and
// any longer input report the device declares.
std::size_t AnswerBufferSize(std::size_t inputReportLength);

// Joins bytes 9 down to 1, each written in decimal without leading zeros.
ExactTime DecodeTime(ConstAnswer answer);

// The answer a stopwatch gives, report ID 0, for a time of `units` 0.0001 s
// (nine digits: under 10^9, or std::out_of_range) and an increment flag: what
// the stand-ins for the stopwatch in tests and the emulator send.
std::vector<std::uint8_t> EncodeAnswer(std::uint64_t units, std::uint8_t flag = 0);

// Adds one unit to the digits in the buffer itself: byte 1 goes up by one; a
// byte that thereby reaches exactly 10 becomes 0 and the next byte goes up in
// turn; a carry out of byte 9 is lost. Bytes are 8-bit, so 255 wraps to 0.
void IncrementDigits(Answer answer);

}  // namespace stopwatch
