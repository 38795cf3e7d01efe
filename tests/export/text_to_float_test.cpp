// Grid texts back to numbers, with the decimal separator the grid was
// written with.
#include <gtest/gtest.h>

#include "export/measurement_export.h"

namespace measurement_export {
namespace {

std::string ErrorOf(std::string_view text, std::string_view separator) {
  try {
    TextToFloat(text, separator);
  } catch (const EConvertError& error) {
    return error.what();
  }
  return "converted";
}

TEST(TextToFloatTest, ReadsNumbersWrittenWithTheGivenSeparator) {
  EXPECT_EQ(TextToFloat("12,3456", ","), 12.3456);
  EXPECT_EQ(TextToFloat("12.3456", "."), 12.3456);
  EXPECT_EQ(TextToFloat("0,5", ","), 0.5);
  EXPECT_EQ(TextToFloat("12345", ","), 12345);
  EXPECT_EQ(TextToFloat(" -1,5 ", ","), -1.5);
  EXPECT_EQ(TextToFloat("+,5", ","), 0.5);
  EXPECT_EQ(TextToFloat("5,", ","), 5);
  EXPECT_EQ(TextToFloat("1,5E3", ","), 1500);
  EXPECT_EQ(TextToFloat("25e-1", ","), 2.5);
  EXPECT_EQ(TextToFloat("3٫25", "٫"), 3.25) << "a separator of more than one byte";
  EXPECT_EQ(TextToFloat("3.25", ""), 3.25) << "no separator known: a full stop";
}

TEST(TextToFloatTest, RefusesEverythingElseNamingTheText) {
  EXPECT_EQ(ErrorOf("12,3x", ","), "'12,3x' is not a valid floating point value");
  for (const char* text : {"", " ", "12.5", "1,2,3", ",", "-", "1e", "1e+", "e5", "1 000", "inf", "nan", "0x10",
                           "------", "1e999", "08.12.2025"}) {
    EXPECT_EQ(ErrorOf(text, ","), "'" + std::string(text) + "' is not a valid floating point value") << text;
  }
  EXPECT_EQ(ErrorOf("12,5", "."), "'12,5' is not a valid floating point value");
}

}  // namespace
}  // namespace measurement_export
