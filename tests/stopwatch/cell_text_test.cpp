#include "stopwatch/cell_text.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "stopwatch/wire_format.h"

namespace stopwatch {
namespace {

using Buffer = std::array<std::uint8_t, kAnswerLength>;

// Digits given as bytes 9 down to 1, as they read left to right.
Buffer MakeAnswer(const std::array<std::uint8_t, 9>& digits, std::uint8_t flag = 0) {
  Buffer answer{};
  answer[0] = 0x3C;  // the report ID is never examined
  for (std::size_t i = 0; i < digits.size(); ++i) answer[kLastDigitByte - i] = digits[i];
  answer[kIncrementFlagByte] = flag;
  return answer;
}

std::string Text(Buffer answer, std::string_view separator = ".") { return CellTextForAnswer(answer, separator); }

std::string Fixed(std::string_view units, int decimals, std::string_view separator = ".") {
  return FormatFixed(ExactTime::FromUnitDigits(units), decimals, separator);
}

TEST(StopwatchCellText, TimesUnderHundredSecondsAndTheIncrementFlag) {
  EXPECT_EQ(Text(MakeAnswer({0, 0, 0, 1, 2, 3, 4, 5, 6})), "12.3456");
  EXPECT_EQ(Text(MakeAnswer({0, 0, 0, 1, 2, 3, 4, 5, 6}), ","), "12,3456");
  EXPECT_EQ(Text(MakeAnswer({0, 0, 0, 0, 0, 0, 0, 0, 7})), "0.0007");

  Buffer flagged = MakeAnswer({0, 0, 0, 1, 2, 3, 4, 5, 6}, 1);
  EXPECT_EQ(CellTextForAnswer(flagged, "."), "12.3457");
  EXPECT_EQ(flagged[1], 7) << "the increment works on the buffer itself";

  // The carry runs through six digits; the time was chosen as under 100 s.
  Buffer carried = MakeAnswer({0, 0, 0, 9, 9, 9, 9, 9, 9}, 1);
  EXPECT_EQ(CellTextForAnswer(carried, ","), "100,0000");
  EXPECT_EQ(carried, MakeAnswer({0, 0, 1, 0, 0, 0, 0, 0, 0}, 1));

  EXPECT_EQ(Text(MakeAnswer({0, 0, 0, 0, 0, 0, 0, 0, 0}, 1)), "0.0001");
  EXPECT_EQ(Text(MakeAnswer({0, 0, 0, 0, 0, 0, 0, 0, 0}, 0)), "------");
  EXPECT_EQ(Text(MakeAnswer({0, 0, 0, 0, 0, 0, 0, 0, 0}, 2)), "------") << "only a flag of exactly 1 counts";
}

TEST(StopwatchCellText, DecimalsByMagnitudeAndTheFlagIgnoredFromHundredSeconds) {
  for (std::uint8_t flag : {0, 1}) {
    Buffer hundred = MakeAnswer({0, 0, 1, 0, 0, 0, 0, 0, 0}, flag);
    EXPECT_EQ(CellTextForAnswer(hundred, "."), "100.000");
    EXPECT_EQ(hundred, MakeAnswer({0, 0, 1, 0, 0, 0, 0, 0, 0}, flag));
    EXPECT_EQ(Text(MakeAnswer({0, 1, 0, 0, 0, 0, 0, 0, 0}, flag)), "1000.00");
    EXPECT_EQ(Text(MakeAnswer({1, 0, 0, 0, 0, 0, 0, 0, 0}, flag)), "10000.0");
  }
  EXPECT_EQ(Text(MakeAnswer({9, 9, 9, 9, 9, 9, 9, 9, 9}), ","), "100000,0");
}

TEST(StopwatchCellText, HalfWayRoundsAwayFromZeroOnTheExactValue) {
  EXPECT_EQ(Text(MakeAnswer({0, 0, 1, 2, 3, 4, 5, 6, 5})), "123.457");
  EXPECT_EQ(Text(MakeAnswer({0, 1, 2, 3, 4, 5, 6, 5, 0})), "1234.57");
  // As doubles these lie just below the half-way point.
  EXPECT_EQ(Text(MakeAnswer({1, 2, 3, 4, 5, 6, 5, 0, 0})), "12345.7");
  EXPECT_EQ(Text(MakeAnswer({0, 0, 1, 2, 3, 4, 5, 7, 5})), "123.458");
  EXPECT_EQ(Text(MakeAnswer({0, 1, 0, 0, 0, 0, 0, 5, 0})), "1000.01");
  // Just below half rounds down.
  EXPECT_EQ(Text(MakeAnswer({0, 0, 1, 2, 3, 4, 5, 6, 4})), "123.456");
  EXPECT_EQ(Text(MakeAnswer({0, 1, 2, 3, 4, 5, 6, 4, 9})), "1234.56");
  EXPECT_EQ(Text(MakeAnswer({1, 2, 3, 4, 5, 6, 4, 9, 9})), "12345.6");
  // Rounding up across a magnitude keeps the band's decimals.
  EXPECT_EQ(Text(MakeAnswer({0, 0, 9, 9, 9, 9, 9, 9, 5})), "1000.000");
  EXPECT_EQ(Text(MakeAnswer({0, 9, 9, 9, 9, 9, 9, 5, 0})), "10000.00");
}

TEST(StopwatchCellText, DigitBytesAboveNineLengthenTheNumber) {
  EXPECT_EQ(DecodeTime(MakeAnswer({0, 0, 0, 0, 12, 0, 0, 0, 0})).UnitDigits(), "120000");
  EXPECT_EQ(Text(MakeAnswer({0, 0, 0, 0, 12, 0, 0, 0, 0})), "12.0000");
  EXPECT_DOUBLE_EQ(DecodeTime(MakeAnswer({0, 0, 0, 0, 12, 0, 0, 0, 0})).Seconds(), 12.0);

  // Nine bytes of three digits: 27 digits, beyond 64 bits, kept exactly.
  const Buffer widest = MakeAnswer({255, 255, 255, 255, 255, 255, 255, 255, 255});
  EXPECT_EQ(DecodeTime(widest).UnitDigits(), "255255255255255255255255255");
  EXPECT_EQ(Text(widest), "2.55255E22");
  EXPECT_EQ(Text(widest, ","), "2,55255E22");

  // Six digits before the separator still fit; seven switch to exponent form.
  EXPECT_EQ(Text(MakeAnswer({12, 0, 0, 0, 0, 0, 0, 0, 0})), "120000.0");
  EXPECT_EQ(Text(MakeAnswer({99, 9, 9, 9, 9, 4, 0, 0, 0})), "999999.0");
  EXPECT_EQ(Text(MakeAnswer({99, 9, 9, 9, 9, 5, 0, 0, 0})), "1E6");
  EXPECT_EQ(Text(MakeAnswer({120, 0, 0, 0, 0, 0, 0, 0, 0})), "1.2E6");
}

TEST(StopwatchCellText, PrecisionLimitsDigitsBeforeDecimalsArePadded) {
  EXPECT_EQ(Fixed("1234567", 4), "123.4570");
  EXPECT_EQ(Fixed("1234567", 4, ","), "123,4570");
  EXPECT_EQ(Fixed("0", 3), "0.000");
  EXPECT_EQ(Fixed("1", 1), "0.0");
  EXPECT_EQ(Fixed("600", 1), "0.1");
}

TEST(StopwatchWireFormat, IncrementCarriesOnlyAtExactlyTen) {
  Buffer nines = MakeAnswer({9, 9, 9, 9, 9, 9, 9, 9, 9}, 1);
  IncrementDigits(nines);
  EXPECT_EQ(nines, MakeAnswer({0, 0, 0, 0, 0, 0, 0, 0, 0}, 1)) << "the carry out of byte 9 is lost";

  Buffer wide = MakeAnswer({0, 0, 0, 0, 0, 0, 0, 0, 12});
  IncrementDigits(wide);
  EXPECT_EQ(wide[1], 13);
  EXPECT_EQ(wide[2], 0);

  Buffer wraps = MakeAnswer({0, 0, 0, 0, 0, 0, 0, 0, 255});
  IncrementDigits(wraps);
  EXPECT_EQ(wraps, MakeAnswer({0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

// The table's texts read back, with the separator they were written with.
TEST(CellTextRead, ReadsNumbersWrittenWithTheGivenSeparator) {
  EXPECT_EQ(ParseCellText("12,3456", ","), 12.3456);
  EXPECT_EQ(ParseCellText("12.3456", "."), 12.3456);
  EXPECT_EQ(ParseCellText("0,5", ","), 0.5);
  EXPECT_EQ(ParseCellText("12345", ","), 12345);
  EXPECT_EQ(ParseCellText(" -1,5 ", ","), -1.5);
  EXPECT_EQ(ParseCellText("+,5", ","), 0.5);
  EXPECT_EQ(ParseCellText("5,", ","), 5);
  EXPECT_EQ(ParseCellText("1,5E3", ","), 1500);
  EXPECT_EQ(ParseCellText("25e-1", ","), 2.5);
  EXPECT_EQ(ParseCellText("1,23457E6", ","), 1234570) << "the exponent form of a cell";
  EXPECT_EQ(ParseCellText("3٫25", "٫"), 3.25) << "a separator of more than one byte";
  EXPECT_EQ(ParseCellText("3.25", ""), 3.25) << "no separator known: a full stop";
}

TEST(CellTextRead, RefusesEverythingElse) {
  for (const char* text : {"12,3x", "", " ", "12.5", "1,2,3", ",", "-", "1e", "1e+", "e5", "1 000", "inf", "nan",
                           "0x10", "------", "1e999", "08.12.2025"}) {
    EXPECT_EQ(ParseCellText(text, ","), std::nullopt) << text;
  }
  EXPECT_EQ(ParseCellText("12,5", "."), std::nullopt);
}

// Pinned byte by byte: the tests that decode what the stand-ins send rely on it.
TEST(StopwatchWireFormat, EncodedAnswersCarryTheDigitsLeastSignificantFirst) {
  EXPECT_EQ(EncodeAnswer(123456, 1), (std::vector<std::uint8_t>{0, 6, 5, 4, 3, 2, 1, 0, 0, 0, 1}));
  EXPECT_EQ(EncodeAnswer(999999999), (std::vector<std::uint8_t>{0, 9, 9, 9, 9, 9, 9, 9, 9, 9, 0}));
  EXPECT_THROW(EncodeAnswer(1'000'000'000), std::out_of_range);
}

}  // namespace
}  // namespace stopwatch
