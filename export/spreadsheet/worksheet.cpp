#include "export/spreadsheet/worksheet.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "export/spreadsheet/spreadsheet_error.h"
#include "base/utf.h"

namespace spreadsheet {
namespace {

// A number for a message, "409.5" whatever the locale (to_string follows it).
std::string Number(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
  std::string text(buffer, result.ptr);
  text.erase(text.find_last_not_of('0') + 1);
  if (!text.empty() && text.back() == '.') text.pop_back();
  return text;
}

void CheckLimits(const char* property, double value, double low, double high) {
  if (!(value >= low && value <= high)) {
    throw SpreadsheetError(std::string("Значение ") + Number(value) + " свойства " + property +
                           " вне допустимых пределов (" + Number(low) + "…" + Number(high) + ")");
  }
}

// Height of one line of text in a given font size, in points, rounded up to
// whole pixels at 96 dpi (0.75 pt), as the spreadsheet fits rows.
double LineHeight(double fontSize) { return std::ceil(fontSize * 1.275 / 0.75 - 1e-6) * 0.75; }

// Ranges come from ParseRange or MakeRange, but the struct can be filled in by
// hand: a range off the sheet must not reach the loops below.
const CellRange& Checked(const CellRange& range) {
  MakeRange(range.firstRow, range.firstColumn, range.lastRow, range.lastColumn);
  if (range.firstRow > range.lastRow || range.firstColumn > range.lastColumn) {
    throw SpreadsheetError("Неверный диапазон " + FormatRange(range));
  }
  return range;
}

}  // namespace

void Worksheet::SetNumber(int row, int column, double value) {
  SingleCell(row, column);
  if (!std::isfinite(value))
    throw SpreadsheetError("Число в ячейке " + FormatRange(SingleCell(row, column)) + " должно быть конечным");
  StoreValue(row, column, value);
}

void Worksheet::SetText(int row, int column, std::string_view text) {
  SetValue(SingleCell(row, column), std::string(text));
}

void Worksheet::SetValue(const CellRange& range, const CellValue& value) {
  Checked(range);
  if (const auto* number = std::get_if<double>(&value); number && !std::isfinite(*number)) {
    throw SpreadsheetError("Число в ячейке " + FormatRange(range) + " должно быть конечным");
  }
  const auto* text = std::get_if<std::string>(&value);
  if (text) {
    const auto utf16 = base::Utf8ToUtf16Strict(*text);
    if (!utf16) throw SpreadsheetError("Текст для ячейки " + FormatRange(range) + " не в кодировке UTF-8");
    if (utf16->size() > static_cast<std::size_t>(kMaxTextLength)) {
      throw SpreadsheetError("Текст для ячейки " + FormatRange(range) + " длиннее 32767 знаков");
    }
  }
  const bool empty = std::holds_alternative<std::monostate>(value) || (text && text->empty());
  for (int row = range.firstRow; row <= range.lastRow; ++row) {
    for (int column = range.firstColumn; column <= range.lastColumn; ++column) {
      StoreValue(row, column, empty ? CellValue{} : value);
    }
  }
  if (text && text->find('\n') != std::string::npos) SetWrapText(range, true);
}

void Worksheet::StoreValue(int row, int column, CellValue value) {
  const auto it = cells_.try_emplace({row, column}).first;
  it->second.value = std::move(value);
  PruneIfEmpty(it);
}

CellValue Worksheet::Value(int row, int column) const {
  const auto it = cells_.find({row, column});
  return it == cells_.end() ? CellValue{} : it->second.value;
}

void Worksheet::PruneIfEmpty(std::map<CellKey, Cell>::iterator it) {
  if (std::holds_alternative<std::monostate>(it->second.value) && it->second.format.IsDefault()) cells_.erase(it);
}

CellRange Worksheet::GrowToMerges(CellRange range) const {
  for (bool grown = true; grown;) {
    grown = false;
    for (const CellRange& merge : merges_) {
      if (!merge.Intersects(range)) continue;
      const CellRange both{std::min(range.firstRow, merge.firstRow), std::min(range.firstColumn, merge.firstColumn),
                           std::max(range.lastRow, merge.lastRow), std::max(range.lastColumn, merge.lastColumn)};
      if (both != range) {
        range = both;
        grown = true;
      }
    }
  }
  return range;
}

template <typename Change>
void Worksheet::UpdateFormats(const CellRange& range, Change change) {
  const CellRange area = GrowToMerges(Checked(range));
  for (int row = area.firstRow; row <= area.lastRow; ++row) {
    for (int column = area.firstColumn; column <= area.lastColumn; ++column) {
      const auto it = cells_.try_emplace({row, column}).first;
      change(it->second.format);
      PruneIfEmpty(it);
    }
  }
}

void Worksheet::SetFontName(const CellRange& range, std::string_view name) {
  const auto utf16 = base::Utf8ToUtf16Strict(name);
  if (!utf16 || utf16->empty() || utf16->size() > 31) {
    throw SpreadsheetError("Недопустимое имя шрифта «" + std::string(name) + "»");
  }
  UpdateFormats(range, [&](CellFormat& format) { format.fontName = name; });
}

void Worksheet::SetFontSize(const CellRange& range, double points) {
  CheckLimits("Size", points, 1, 409);
  UpdateFormats(range, [&](CellFormat& format) { format.fontSize = points; });
}

void Worksheet::SetBold(const CellRange& range, bool bold) {
  UpdateFormats(range, [&](CellFormat& format) { format.bold = bold; });
}

void Worksheet::SetFillColor(const CellRange& range, std::int64_t color) {
  CheckLimits("Color", static_cast<double>(color), 0, 0xFFFFFF);
  UpdateFormats(range, [&](CellFormat& format) { format.fillColor = static_cast<std::int32_t>(color); });
}

void Worksheet::ClearFill(const CellRange& range) {
  UpdateFormats(range, [](CellFormat& format) { format.fillColor.reset(); });
}

void Worksheet::SetHorizontalAlignment(const CellRange& range, int constant) {
  const HorizontalAlignment alignment = HorizontalAlignmentFromConstant(constant);
  UpdateFormats(range, [&](CellFormat& format) { format.horizontal = alignment; });
}

void Worksheet::SetVerticalAlignment(const CellRange& range, int constant) {
  const VerticalAlignment alignment = VerticalAlignmentFromConstant(constant);
  UpdateFormats(range, [&](CellFormat& format) { format.vertical = alignment; });
}

void Worksheet::SetNumberFormat(const CellRange& range, std::string_view numberFormat) {
  const auto utf16 = base::Utf8ToUtf16Strict(numberFormat);
  if (!utf16 || utf16->empty() || utf16->size() > 255) {
    throw SpreadsheetError("Недопустимый числовой формат «" + std::string(numberFormat) + "»");
  }
  UpdateFormats(range, [&](CellFormat& format) { format.numberFormat = numberFormat; });
}

void Worksheet::SetBorderLineStyle(const CellRange& range, int lineStyle) {
  const BorderLine line = BorderLineFromLineStyle(lineStyle);
  UpdateFormats(range, [&](CellFormat& format) { format.border = line; });
}

void Worksheet::SetWrapText(const CellRange& range, bool wrap) {
  UpdateFormats(range, [&](CellFormat& format) { format.wrapText = wrap; });
}

CellFormat Worksheet::Format(int row, int column) const {
  const auto it = cells_.find({row, column});
  return it == cells_.end() ? CellFormat{} : it->second.format;
}

void Worksheet::Merge(const CellRange& range, bool across) {
  Checked(range);
  if (across && range.RowCount() > 1) {
    for (int row = range.firstRow; row <= range.lastRow; ++row) {
      Merge(CellRange{row, range.firstColumn, row, range.lastColumn}, false);
    }
    return;
  }
  const CellRange area = GrowToMerges(range);
  if (area.RowCount() == 1 && area.ColumnCount() == 1) return;
  std::erase_if(merges_, [&](const CellRange& merge) { return merge.Intersects(area); });
  merges_.push_back(area);

  const CellFormat anchorFormat = Format(area.firstRow, area.firstColumn);
  for (int row = area.firstRow; row <= area.lastRow; ++row) {
    for (int column = area.firstColumn; column <= area.lastColumn; ++column) {
      const auto it = cells_.try_emplace({row, column}).first;
      it->second.format = anchorFormat;
      if (row != area.firstRow || column != area.firstColumn) it->second.value = {};
      PruneIfEmpty(it);
    }
  }
}

std::optional<CellRange> Worksheet::MergeAreaOf(int row, int column) const {
  for (const CellRange& merge : merges_) {
    if (merge.Contains(row, column)) return merge;
  }
  return std::nullopt;
}

void Worksheet::SetColumnWidth(const CellRange& range, double characters) {
  Checked(range);
  CheckLimits("ColumnWidth", characters, 0, kMaxColumnWidth);
  for (int column = range.firstColumn; column <= range.lastColumn; ++column) columnWidths_[column] = characters;
}

double Worksheet::ColumnWidth(int column) const {
  const auto it = columnWidths_.find(column);
  return it == columnWidths_.end() ? kStandardColumnWidth : it->second;
}

void Worksheet::SetRowHeight(const CellRange& range, double points) {
  Checked(range);
  CheckLimits("RowHeight", points, 0, kMaxRowHeight);
  for (int row = range.firstRow; row <= range.lastRow; ++row) rowHeights_[row] = points;
}

double Worksheet::RowHeight(int row) const {
  if (const auto it = rowHeights_.find(row); it != rowHeights_.end()) return it->second;
  double height = kStandardRowHeight;
  for (auto it = cells_.lower_bound({row, 0}); it != cells_.end() && it->first.first == row; ++it) {
    const Cell& cell = it->second;
    int lines = 1;
    const auto* text = std::get_if<std::string>(&cell.value);
    if (text && cell.format.wrapText && !MergeAreaOf(row, it->first.second)) {
      lines += static_cast<int>(std::count(text->begin(), text->end(), '\n'));
    }
    height = std::max(height, std::min(kMaxRowHeight, LineHeight(cell.format.fontSize) * lines));
  }
  return height;
}

void Worksheet::SetOrientation(int orientation) {
  if (orientation != xl::kPortrait && orientation != xl::kLandscape) {
    throw SpreadsheetError("Недопустимое значение " + std::to_string(orientation) + " свойства Orientation");
  }
  orientation_ = orientation;
}

}  // namespace spreadsheet
