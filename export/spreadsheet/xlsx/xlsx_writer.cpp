#include "export/spreadsheet/xlsx/xlsx_writer.h"

#include <xlsxwriter.h>

#include <map>
#include <memory>
#include <variant>

#include "export/spreadsheet/spreadsheet_error.h"

namespace spreadsheet::xlsx {
namespace {

std::uint8_t AlignmentCode(HorizontalAlignment alignment) {
  switch (alignment) {
    case HorizontalAlignment::General: return LXW_ALIGN_NONE;
    case HorizontalAlignment::Left: return LXW_ALIGN_LEFT;
    case HorizontalAlignment::Center: return LXW_ALIGN_CENTER;
    case HorizontalAlignment::Right: return LXW_ALIGN_RIGHT;
    case HorizontalAlignment::Fill: return LXW_ALIGN_FILL;
    case HorizontalAlignment::Justify: return LXW_ALIGN_JUSTIFY;
    case HorizontalAlignment::CenterAcrossSelection: return LXW_ALIGN_CENTER_ACROSS;
    case HorizontalAlignment::Distributed: return LXW_ALIGN_DISTRIBUTED;
  }
  return LXW_ALIGN_NONE;
}

std::uint8_t AlignmentCode(VerticalAlignment alignment) {
  switch (alignment) {
    case VerticalAlignment::Top: return LXW_ALIGN_VERTICAL_TOP;
    case VerticalAlignment::Center: return LXW_ALIGN_VERTICAL_CENTER;
    case VerticalAlignment::Bottom: return LXW_ALIGN_VERTICAL_BOTTOM;
    case VerticalAlignment::Justify: return LXW_ALIGN_VERTICAL_JUSTIFY;
    case VerticalAlignment::Distributed: return LXW_ALIGN_VERTICAL_DISTRIBUTED;
  }
  return LXW_ALIGN_VERTICAL_BOTTOM;
}

// libxlsxwriter takes colours as 0xRRGGBB, with black spelled apart since 0
// means "no colour" to it.
lxw_color_t ToLxwColor(std::int32_t color) {
  const auto value = static_cast<std::uint32_t>(color);
  const lxw_color_t rgb = ((value & 0xFF) << 16) | (value & 0xFF00) | ((value >> 16) & 0xFF);
  return rgb == 0 ? static_cast<lxw_color_t>(LXW_COLOR_BLACK) : rgb;
}

class FormatCache {
 public:
  explicit FormatCache(lxw_workbook* workbook) : workbook_(workbook) {}

  lxw_format* Get(const CellFormat& cellFormat) {
    auto [it, added] = formats_.try_emplace(cellFormat, nullptr);
    if (added) it->second = Create(cellFormat);
    return it->second;
  }

 private:
  lxw_format* Create(const CellFormat& cellFormat) {
    lxw_format* format = workbook_add_format(workbook_);
    if (!format) throw SpreadsheetError("Не удалось создать формат ячейки");
    format_set_font_name(format, cellFormat.fontName.c_str());
    format_set_font_size(format, cellFormat.fontSize);
    if (cellFormat.bold) format_set_bold(format);
    if (cellFormat.fillColor) {
      format_set_pattern(format, LXW_PATTERN_SOLID);
      format_set_bg_color(format, ToLxwColor(*cellFormat.fillColor));
    }
    if (cellFormat.horizontal != HorizontalAlignment::General) {
      format_set_align(format, AlignmentCode(cellFormat.horizontal));
    }
    format_set_align(format, AlignmentCode(cellFormat.vertical));
    if (const auto id = BuiltInNumberFormatId(cellFormat.numberFormat)) {
      if (*id != 0) format_set_num_format_index(format, static_cast<std::uint8_t>(*id));
    } else {
      format_set_num_format(format, cellFormat.numberFormat.c_str());
    }
    if (cellFormat.border != BorderLine::None) format_set_border(format, static_cast<std::uint8_t>(cellFormat.border));
    if (cellFormat.wrapText) format_set_text_wrap(format);
    return format;
  }

  lxw_workbook* workbook_;
  std::map<CellFormat, lxw_format*> formats_;
};

void Check(lxw_error error) {
  if (error != LXW_NO_ERROR) throw SpreadsheetError(lxw_strerror(error));
}

void WriteSheet(lxw_worksheet* target, const Worksheet& sheet, FormatCache& formats) {
  if (sheet.Orientation() == xl::kLandscape) {
    worksheet_set_landscape(target);
  } else {
    worksheet_set_portrait(target);
  }
  for (const auto& [column, width] : sheet.CustomColumnWidths()) {
    Check(worksheet_set_column(target, static_cast<lxw_col_t>(column - 1), static_cast<lxw_col_t>(column - 1), width,
                               nullptr));
  }
  // Rows carry the height the sheet gives them wherever it is not the
  // workbook's default: set by hand, or grown to fit a larger font.
  std::map<int, double> heights(sheet.CustomRowHeights());
  for (const auto& [key, cell] : sheet.Cells()) heights.try_emplace(key.first, sheet.RowHeight(key.first));
  for (const auto& [row, height] : heights) {
    if (sheet.HasCustomHeight(row) || height != kStandardRowHeight) {
      Check(worksheet_set_row(target, static_cast<lxw_row_t>(row - 1), height, nullptr));
    }
  }
  // Merging writes blanks over the area; the cells written below replace them.
  for (const CellRange& merge : sheet.MergedRanges()) {
    Check(worksheet_merge_range(target, static_cast<lxw_row_t>(merge.firstRow - 1),
                                static_cast<lxw_col_t>(merge.firstColumn - 1),
                                static_cast<lxw_row_t>(merge.lastRow - 1), static_cast<lxw_col_t>(merge.lastColumn - 1),
                                "", formats.Get(sheet.Format(merge.firstRow, merge.firstColumn))));
  }
  for (const auto& [key, cell] : sheet.Cells()) {
    const auto row = static_cast<lxw_row_t>(key.first - 1);
    const auto column = static_cast<lxw_col_t>(key.second - 1);
    lxw_format* format = formats.Get(cell.format);
    if (const auto* number = std::get_if<double>(&cell.value)) {
      Check(worksheet_write_number(target, row, column, *number, format));
    } else if (const auto* text = std::get_if<std::string>(&cell.value)) {
      Check(worksheet_write_string(target, row, column, text->c_str(), format));
    } else {
      Check(worksheet_write_blank(target, row, column, format));
    }
  }
}

struct WorkbookCloser {
  void operator()(lxw_workbook* workbook) const { workbook_close(workbook); }
};

}  // namespace

bool Available() { return true; }

void WriteXlsxFile(const Workbook& workbook, const std::string& path) {
  if (workbook.WorksheetCount() == 0) throw SpreadsheetError("В книге нет ни одного листа");
  std::unique_ptr<lxw_workbook, WorkbookCloser> target(workbook_new(path.c_str()));
  if (!target) throw SpreadsheetError("не удалось начать книгу");
  FormatCache formats(target.get());
  for (std::size_t s = 0; s < workbook.WorksheetCount(); ++s) {
    const Worksheet& sheet = workbook.WorksheetAt(s);
    lxw_worksheet* targetSheet = workbook_add_worksheet(target.get(), sheet.Name().c_str());
    if (!targetSheet) throw SpreadsheetError("не удалось добавить лист «" + sheet.Name() + "»");
    WriteSheet(targetSheet, sheet, formats);
  }
  Check(workbook_close(target.release()));
}

}  // namespace spreadsheet::xlsx
