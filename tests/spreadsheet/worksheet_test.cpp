#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "export/spreadsheet/spreadsheet_error.h"
#include "export/spreadsheet/workbook.h"

namespace spreadsheet {
namespace {

CellRange R(const char* address) { return ParseRange(address); }

TEST(Worksheet, FormatOnPartOfAMergedAreaAppliesToTheWholeArea) {
  Worksheet sheet("s");
  sheet.Merge(R("A1:K1"));
  sheet.SetFillColor(SingleCell(1, 1), 15132390);
  sheet.SetFontSize(R("C1"), 15);
  for (int column = 1; column <= 11; ++column) {
    EXPECT_EQ(sheet.Format(1, column).fillColor, 15132390) << column;
    EXPECT_EQ(sheet.Format(1, column).fontSize, 15) << column;
  }
  EXPECT_FALSE(sheet.Format(2, 1).fillColor);
  EXPECT_FALSE(sheet.Format(1, 12).fillColor);
}

TEST(Worksheet, MergeGivesTheAreaTheTopLeftFormatAndKeepsOnlyItsValue) {
  Worksheet sheet("s");
  sheet.SetFillColor(R("A1"), 255);
  sheet.SetBorderLineStyle(R("B1"), xl::kContinuous);
  sheet.SetText(1, 1, "keep");
  sheet.SetNumber(1, 2, 5);
  sheet.Merge(R("A1:C1"));
  EXPECT_EQ(sheet.Value(1, 1), CellValue(std::string("keep")));
  EXPECT_EQ(sheet.Value(1, 2), CellValue());
  for (int column = 1; column <= 3; ++column) EXPECT_EQ(sheet.Format(1, column), sheet.Format(1, 1));
  EXPECT_EQ(sheet.Format(1, 2).border, BorderLine::None);
}

TEST(Worksheet, OverlappingMergesJoinAndSingleCellsAreNotMerged) {
  Worksheet sheet("s");
  sheet.Merge(R("B2"));
  EXPECT_TRUE(sheet.MergedRanges().empty());
  sheet.Merge(R("A1:B2"));
  sheet.Merge(R("B2:C3"));
  ASSERT_EQ(sheet.MergedRanges().size(), 1u);
  EXPECT_EQ(sheet.MergedRanges()[0], R("A1:C3"));
  sheet.Merge(R("E1:F3"), /*across=*/true);
  EXPECT_EQ(sheet.MergedRanges().size(), 4u);
  EXPECT_EQ(sheet.MergeAreaOf(2, 6), R("E2:F2"));
}

TEST(Worksheet, TextWithLineFeedWrapsAndEmptyTextClearsTheValueOnly) {
  Worksheet sheet("s");
  sheet.Merge(R("A1:K1"));
  sheet.SetText(1, 1, "ТАБЛИЦА\n(время, с)");
  EXPECT_TRUE(sheet.Format(1, 1).wrapText);
  EXPECT_TRUE(sheet.Format(1, 11).wrapText);
  sheet.SetText(2, 1, "one line");
  EXPECT_FALSE(sheet.Format(2, 1).wrapText);

  sheet.SetFillColor(R("C3"), 65535);
  sheet.SetNumber(3, 3, 1.5);
  sheet.SetText(3, 3, "");
  EXPECT_EQ(sheet.Value(3, 3), CellValue());
  EXPECT_EQ(sheet.Format(3, 3).fillColor, 65535);
}

TEST(Worksheet, RefusedValuesChangeNothing) {
  Worksheet sheet("s");
  sheet.SetNumber(1, 1, 2.5);
  const auto before = sheet.Cells();
  EXPECT_THROW(sheet.SetText(1, 1, "\xD0"), SpreadsheetError);          // cut-off UTF-8
  EXPECT_THROW(sheet.SetText(1, 1, "\xC0\xAF"), SpreadsheetError);      // overlong form
  EXPECT_THROW(sheet.SetText(1, 1, "\xED\xA0\x80"), SpreadsheetError);  // a surrogate
  EXPECT_THROW(sheet.SetText(1, 1, std::string(32768, 'x')), SpreadsheetError);
  std::string emoji;
  for (int i = 0; i < 16384; ++i) emoji += "\xF0\x9F\x98\x80";  // 32768 UTF-16 units
  EXPECT_THROW(sheet.SetText(1, 1, emoji), SpreadsheetError);
  EXPECT_THROW(sheet.SetNumber(1, 1, std::nan("")), SpreadsheetError);
  EXPECT_THROW(sheet.SetNumber(1, 1, std::numeric_limits<double>::infinity()), SpreadsheetError);
  EXPECT_THROW(sheet.SetHorizontalAlignment(R("A1"), 3), SpreadsheetError);
  EXPECT_THROW(sheet.SetVerticalAlignment(R("A1"), xl::kLeft), SpreadsheetError);
  EXPECT_THROW(sheet.SetBorderLineStyle(R("A1"), 2), SpreadsheetError);
  EXPECT_THROW(sheet.SetFontSize(R("A1"), 0), SpreadsheetError);
  EXPECT_THROW(sheet.SetFontSize(R("A1"), 410), SpreadsheetError);
  EXPECT_THROW(sheet.SetFontName(R("A1"), ""), SpreadsheetError);
  EXPECT_THROW(sheet.SetFillColor(R("A1"), -1), SpreadsheetError);
  EXPECT_THROW(sheet.SetFillColor(R("A1"), 0x1000000), SpreadsheetError);
  EXPECT_THROW(sheet.SetNumberFormat(R("A1"), ""), SpreadsheetError);
  EXPECT_THROW(sheet.SetColumnWidth(R("A1"), 255.5), SpreadsheetError);
  EXPECT_THROW(sheet.SetRowHeight(R("A1"), -1), SpreadsheetError);
  EXPECT_THROW(sheet.SetOrientation(3), SpreadsheetError);
  EXPECT_THROW(sheet.SetFillColor(CellRange{1, 1, 70000, 1}, 0), SpreadsheetError);  // built by hand, off the sheet
  EXPECT_THROW(sheet.SetValue(CellRange{3, 1, 2, 1}, 1.0), SpreadsheetError);        // corners reversed by hand
  EXPECT_EQ(sheet.Cells().size(), before.size());
  EXPECT_EQ(sheet.Value(1, 1), CellValue(2.5));
  EXPECT_TRUE(sheet.Format(1, 1).IsDefault());
  EXPECT_EQ(sheet.Orientation(), xl::kPortrait);

  std::string longest;
  for (int i = 0; i < 16383; ++i) longest += "\xF0\x9F\x98\x80";
  EXPECT_NO_THROW(sheet.SetText(1, 1, longest + "x"));  // exactly 32767 units
}

TEST(Worksheet, RowsGrowToTheirTallestFontUnlessSetByHand) {
  Worksheet sheet("s");
  EXPECT_EQ(sheet.RowHeight(1), kStandardRowHeight);
  sheet.SetFontSize(R("A2:K2"), 12);
  EXPECT_EQ(sheet.RowHeight(2), 15.75);
  sheet.SetText(3, 2, "two\nlines");
  EXPECT_EQ(sheet.RowHeight(3), 2 * kStandardRowHeight);
  sheet.SetFontSize(R("A1"), 15);
  sheet.SetRowHeight(R("A1:K1"), 45);
  EXPECT_EQ(sheet.RowHeight(1), 45);
  EXPECT_TRUE(sheet.HasCustomHeight(1));
  EXPECT_FALSE(sheet.HasCustomHeight(2));
}

TEST(Workbook, SheetNamesAreDefaultedValidatedAndUniqueIgnoringCase) {
  Workbook book;
  EXPECT_EQ(book.AddWorksheet().Name(), "Лист1");
  EXPECT_THROW(book.AddWorksheet("лИСТ1"), SpreadsheetError);
  EXPECT_EQ(book.AddWorksheet("Ёлка").Name(), "Ёлка");
  EXPECT_THROW(book.AddWorksheet("ёЛКА"), SpreadsheetError);
  EXPECT_EQ(book.AddWorksheet().Name(), "Лист3");
  for (const char* bad : {"", "a:b", "a/b", "a\\b", "a?", "a*", "[a]", "'a", "a'", "\xFF"}) {
    EXPECT_THROW(book.AddWorksheet(bad), SpreadsheetError) << bad;
  }
  EXPECT_NO_THROW(book.AddWorksheet(std::string(31, 'x')));
  EXPECT_THROW(book.AddWorksheet(std::string(32, 'y')), SpreadsheetError);
  EXPECT_EQ(book.WorksheetCount(), 4u);
  EXPECT_EQ(book.WorksheetAt(1).Name(), "Ёлка");
  EXPECT_THROW(book.WorksheetAt(4), SpreadsheetError);
}

}  // namespace
}  // namespace spreadsheet
