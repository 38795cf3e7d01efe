// A1-style addresses and the rectangular cell ranges they name.
//
// Rows and columns count from 1, as the automation object model counts them
// ("Cells" takes row 1, column 1 for A1). The sheet is as large as an Excel
// 97-2003 sheet, so that everything the model holds can be saved as .xls.
#pragma once

#include <string>
#include <string_view>

namespace spreadsheet {

inline constexpr int kMaxRows = 65536;
inline constexpr int kMaxColumns = 256;  // A..IV

struct CellRange {
  int firstRow = 1;
  int firstColumn = 1;
  int lastRow = 1;
  int lastColumn = 1;

  int RowCount() const { return lastRow - firstRow + 1; }
  int ColumnCount() const { return lastColumn - firstColumn + 1; }
  bool Contains(int row, int column) const {
    return row >= firstRow && row <= lastRow && column >= firstColumn && column <= lastColumn;
  }
  bool Intersects(const CellRange& other) const {
    return firstRow <= other.lastRow && other.firstRow <= lastRow && firstColumn <= other.lastColumn &&
           other.firstColumn <= lastColumn;
  }
  bool operator==(const CellRange&) const = default;
};

// Parses "B2", "A1:K11", "$A$1", "a1:k11" (letters in either case, "$" before
// the column and/or the row). The corners may come in any order; the result is
// normalised so that first <= last. Anything else, including references past
// IV65536, whole rows or columns ("A:A", "1:1") and lists of areas ("A1,B2"),
// raises SpreadsheetError.
CellRange ParseRange(std::string_view address);

// The range of one cell; raises SpreadsheetError when row or column is off the sheet.
CellRange SingleCell(int row, int column);

// The range spanning rows firstRow..lastRow and columns firstColumn..lastColumn
// (any order); raises SpreadsheetError when a corner is off the sheet.
CellRange MakeRange(int firstRow, int firstColumn, int lastRow, int lastColumn);

// 1 -> "A", 26 -> "Z", 27 -> "AA", 256 -> "IV".
std::string ColumnName(int column);

// "A1" for a single cell, "A1:K11" otherwise.
std::string FormatRange(const CellRange& range);

}  // namespace spreadsheet
