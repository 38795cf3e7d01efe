// A save on a desktop whose numeric locale writes a decimal comma: the
// writers see the classic conventions while it runs, and the thread gets its
// own locale back afterwards.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <string>

#include "export/spreadsheet/classic_numbers.h"
#include "export/spreadsheet/save.h"
#include "tests/support/sample_workbooks.h"
#include "tests/support/test_folder.h"

namespace spreadsheet {
namespace {

// The locale name of a Russian desktop, as the C library knows it.
#ifdef _WIN32
constexpr char kRussian[] = "Russian_Russia.1251";
#else
constexpr char kRussian[] = "ru_RU.UTF-8";
#endif

std::string Formatted(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4f", value);
  return text;
}

TEST(ClassicNumbers, ASaveFormatsWithAFullStopAndLeavesTheThreadsLocaleAsItWas) {
  // Built first: the grid's texts are made and read with the C library.
  const Workbook workbook = testing::BuildMeasurementWorkbook(testing::FullGrid());
  const std::string before = std::setlocale(LC_NUMERIC, nullptr);
  ASSERT_NE(std::setlocale(LC_NUMERIC, kRussian), nullptr) << kRussian;
  const std::string russian = std::setlocale(LC_NUMERIC, nullptr);
  EXPECT_EQ(Formatted(2.5), "2,5000");
  {
    const ClassicNumbers classic;
    EXPECT_EQ(Formatted(2.5), "2.5000");
  }
  EXPECT_EQ(Formatted(2.5), "2,5000");

  testing::TestFolder scratch("lumetra-locale");
  Save(workbook, scratch / "измерения.xls");
  EXPECT_EQ(std::setlocale(LC_NUMERIC, nullptr), russian);
  EXPECT_EQ(Formatted(2.5), "2,5000");
  std::setlocale(LC_NUMERIC, before.c_str());
}

}  // namespace
}  // namespace spreadsheet
