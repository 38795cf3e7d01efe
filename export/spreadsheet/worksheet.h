// One worksheet: its cells (values and formats), merged areas, column widths,
// row heights and page orientation.
//
// Every operation works at range granularity, the way the automation object
// model addresses a sheet. Formats set on part of a merged area apply to the
// whole area, and merging gives the whole area the format of its top-left
// cell: a merged area is one cell to the user, and this keeps fills and
// fonts of a merged title uniform in both file formats.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "export/spreadsheet/cell_address.h"
#include "export/spreadsheet/cell_format.h"

namespace spreadsheet {

// Nothing, a number, or a text in UTF-8.
using CellValue = std::variant<std::monostate, double, std::string>;

struct Cell {
  CellValue value;
  CellFormat format;
};

// Sizes of the sheet as a freshly created one has them.
inline constexpr double kStandardColumnWidth = 8.43;  // characters
inline constexpr double kStandardRowHeight = 12.75;   // points, fits the default 10-point font
inline constexpr double kMaxColumnWidth = 255;
inline constexpr double kMaxRowHeight = 409;
inline constexpr int kMaxTextLength = 32767;  // UTF-16 units in one cell

class Worksheet {
 public:
  using CellKey = std::pair<int, int>;  // (row, column), so the map runs row by row

  explicit Worksheet(std::string name) : name_(std::move(name)) {}

  const std::string& Name() const { return name_; }

  // Values. A number must be finite. A text must be UTF-8 of at most 32767
  // UTF-16 units; an empty text clears the value (the format stays); a text
  // holding a line feed turns on wrapping, so that it shows on several lines.
  void SetNumber(int row, int column, double value);
  void SetText(int row, int column, std::string_view text);
  // Writes the value into every cell of the range.
  void SetValue(const CellRange& range, const CellValue& value);
  CellValue Value(int row, int column) const;

  // Formats over ranges. Each raises SpreadsheetError for a value out of range
  // and then changes nothing.
  void SetFontName(const CellRange& range, std::string_view name);  // 1..31 characters
  void SetFontSize(const CellRange& range, double points);          // 1..409
  void SetBold(const CellRange& range, bool bold);
  void SetFillColor(const CellRange& range, std::int64_t color);  // 0..0xFFFFFF, red + 256 * green + 65536 * blue
  void ClearFill(const CellRange& range);
  void SetHorizontalAlignment(const CellRange& range, int constant);  // xl::kCenter, ...
  void SetVerticalAlignment(const CellRange& range, int constant);
  void SetNumberFormat(const CellRange& range, std::string_view format);  // "@", "General", "0.00", ...
  void SetBorderLineStyle(const CellRange& range, int lineStyle);         // xl::kContinuous, ...
  void SetWrapText(const CellRange& range, bool wrap);
  CellFormat Format(int row, int column) const;

  // Merging. A range overlapping merged areas merges together with them;
  // only the top-left value survives. `across` merges each row on its own.
  // A single cell is never merged.
  void Merge(const CellRange& range, bool across = false);
  const std::vector<CellRange>& MergedRanges() const { return merges_; }
  std::optional<CellRange> MergeAreaOf(int row, int column) const;

  // Widths of the range's columns in characters (0..255), heights of the
  // range's rows in points (0..409). Zero hides the column or row.
  void SetColumnWidth(const CellRange& range, double characters);
  double ColumnWidth(int column) const;
  const std::map<int, double>& CustomColumnWidths() const { return columnWidths_; }
  void SetRowHeight(const CellRange& range, double points);
  // The height set for the row, or else the height that fits its tallest font
  // (and the lines of its wrapped texts), as the spreadsheet fits rows itself.
  double RowHeight(int row) const;
  bool HasCustomHeight(int row) const { return rowHeights_.count(row) != 0; }
  const std::map<int, double>& CustomRowHeights() const { return rowHeights_; }

  void SetOrientation(int orientation);  // xl::kPortrait or xl::kLandscape
  int Orientation() const { return orientation_; }

  // Every cell that holds a value or a format other than the default, row by row.
  const std::map<CellKey, Cell>& Cells() const { return cells_; }

 private:
  template <typename Change>
  void UpdateFormats(const CellRange& range, Change change);
  CellRange GrowToMerges(CellRange range) const;
  void StoreValue(int row, int column, CellValue value);
  void PruneIfEmpty(std::map<CellKey, Cell>::iterator it);

  std::string name_;
  std::map<CellKey, Cell> cells_;
  std::vector<CellRange> merges_;
  std::map<int, double> columnWidths_;
  std::map<int, double> rowHeights_;
  int orientation_ = xl::kPortrait;
};

}  // namespace spreadsheet
