#include <gtest/gtest.h>

#include "export/spreadsheet/cell_address.h"
#include "export/spreadsheet/spreadsheet_error.h"

namespace spreadsheet {
namespace {

TEST(ParseRange, AcceptsCellsAndRangesInAnyCaseWithAbsoluteMarks) {
  const struct {
    const char* address;
    CellRange range;
  } cases[] = {
      {"A1:K11", {1, 1, 11, 11}},
      {"B2", {2, 2, 2, 2}},
      {"$A$1", {1, 1, 1, 1}},
      {"a1:k11", {1, 1, 11, 11}},
      {"$b2:K$12", {2, 2, 12, 11}},
      {"A$1:$A1", {1, 1, 1, 1}},
      {"IV65536", {65536, 256, 65536, 256}},
      {"aa10", {10, 27, 10, 27}},
      {"K11:A1", {1, 1, 11, 11}},  // corners in any order
      {"K1:A11", {1, 1, 11, 11}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseRange(c.address), c.range) << c.address;
  }
}

TEST(ParseRange, RejectsWhatIsNotOneRectangleOnTheSheet) {
  for (const char* address :
       {"",    "A",   "1",    "A0",   "A01", "IW1", "A65537", "AAAA1", "A1:", ":A1",  "A1:B2:C3", "A1,B2", "A 1",
        " A1", "A1 ", "$$A1", "A$$1", "A1$", "1A",  "A-1",    "A:A",   "1:1", "A1:B", "Ж1",       "A1\n",  "A100000"}) {
    EXPECT_THROW(ParseRange(address), SpreadsheetError) << '"' << address << '"';
  }
}

TEST(ParseRange, ErrorNamesTheAddress) {
  try {
    ParseRange("Z0");
    FAIL();
  } catch (const SpreadsheetError& error) {
    EXPECT_STREQ(error.what(), "Неверный адрес диапазона «Z0»");
  }
}

TEST(CellAddress, ColumnNamesAndFormattingRoundTrip) {
  EXPECT_EQ(ColumnName(1), "A");
  EXPECT_EQ(ColumnName(26), "Z");
  EXPECT_EQ(ColumnName(27), "AA");
  EXPECT_EQ(ColumnName(256), "IV");
  for (const char* address : {"A1:K11", "B2", "IV65536", "Z9:AA10"})
    EXPECT_EQ(FormatRange(ParseRange(address)), address);
  EXPECT_THROW(SingleCell(0, 1), SpreadsheetError);
  EXPECT_THROW(MakeRange(1, 1, 1, 257), SpreadsheetError);
}

}  // namespace
}  // namespace spreadsheet
