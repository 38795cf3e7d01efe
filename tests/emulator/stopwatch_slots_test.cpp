#include "tools/vorda2-emulator/stopwatch_slots.h"

#include <gtest/gtest.h>

namespace {

using lumetra::emulator::Answer;
using lumetra::emulator::AnswerForTime;
using lumetra::emulator::ParseSlots;

TEST(StopwatchSlots, FileLinesAreTimesWithFlagsOrRawBytes) {
  const auto parsed = ParseSlots(
      "# comment\n12.3456\n\n99.9999 1\n7\n00 06 05 04 03 02 01 00 00 00 02\n0c 00 00 00 00 00 00 00 00 00\n");
  ASSERT_TRUE(parsed.slots.has_value()) << parsed.error;
  const auto& slots = *parsed.slots;
  EXPECT_EQ(slots[0], AnswerForTime(123456, 0));
  EXPECT_EQ(slots[1], AnswerForTime(999999, 1));
  EXPECT_EQ(slots[2], AnswerForTime(70000, 0));
  EXPECT_EQ(slots[3], AnswerForTime(123456, 2));
  EXPECT_EQ(slots[4][0], 12);  // raw bytes may hold what no time gives
  EXPECT_EQ(slots[83], Answer{});
}

TEST(StopwatchSlots, BadLinesAreReportedWithTheirNumber) {
  EXPECT_EQ(ParseSlots("1.23456\n").error.rfind("line 1:", 0), 0u);                           // five decimals
  EXPECT_EQ(ParseSlots("1\n100000\n").error.rfind("line 2:", 0), 0u);                         // too large
  EXPECT_EQ(ParseSlots("1 256\n").error.rfind("line 1:", 0), 0u);                             // flag past a byte
  EXPECT_EQ(ParseSlots("01 00 00 00 00 00 00 00 00 00 00\n").error.rfind("line 1:", 0), 0u);  // report ID not 0
  EXPECT_EQ(ParseSlots("1 2 3\n").error.rfind("line 1:", 0), 0u);
  EXPECT_EQ(ParseSlots("-1\n").error.rfind("line 1:", 0), 0u);
  std::string too_many;
  for (int i = 0; i < 85; ++i) too_many += "1\n";
  EXPECT_EQ(ParseSlots(too_many).error.rfind("line 85:", 0), 0u);
}

TEST(StopwatchSlots, OnlyRequestsForSlotsAreAnswered) {
  const auto slots = lumetra::emulator::GenerateSlots(1);
  EXPECT_EQ(lumetra::emulator::AnswerRequest(slots, {0x00, 0xAA}), slots[0]);
  EXPECT_EQ(lumetra::emulator::AnswerRequest(slots, {0x00, 0xFD}), slots[83]);
  EXPECT_FALSE(lumetra::emulator::AnswerRequest(slots, {0x00, 0xFE}).has_value());
  EXPECT_FALSE(lumetra::emulator::AnswerRequest(slots, {0x00, 0xA9}).has_value());
  EXPECT_FALSE(lumetra::emulator::AnswerRequest(slots, {0x01, 0xAA}).has_value());
  EXPECT_FALSE(lumetra::emulator::AnswerRequest(slots, {0x00}).has_value());
}

}  // namespace
