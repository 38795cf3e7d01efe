#include "export/spreadsheet/xls/sheet_records.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <variant>

#include "export/spreadsheet/xls/globals_records.h"
#include "export/spreadsheet/xls/record_types.h"

namespace spreadsheet::xls {
namespace {

constexpr int kRowsPerBlock = 32;
constexpr std::size_t kMaxMergesPerRecord = 1026;
constexpr double kDigitWidthPixels = 7;  // widest digit of Arial 10 at 96 dpi
constexpr double kCellPaddingPixels = 5;

void WriteSettings(RecordStream& stream) {
  stream.U16Record(record::kCalcMode, 1);  // automatic
  stream.U16Record(record::kCalcCount, 100);
  stream.U16Record(record::kCalcRefMode, 1);  // A1 references
  stream.U16Record(record::kCalcIter, 0);
  stream.Begin(record::kCalcDelta);
  stream.F64(0.001);
  stream.End();
  stream.U16Record(record::kCalcSaveRecalc, 1);
  stream.U16Record(record::kPrintRowCol, 0);
  stream.U16Record(record::kPrintGrid, 0);
  stream.U16Record(record::kGridSet, 1);
  stream.Begin(record::kGuts);
  stream.Zeros(8);
  stream.End();
  stream.Begin(record::kDefaultRowHeight);
  stream.U16(0);
  stream.U16(static_cast<std::uint16_t>(std::lround(kStandardRowHeight * 20)));
  stream.End();
  stream.U16Record(record::kWsBool, 0x04C1);
  stream.Empty(record::kHeader);
  stream.Empty(record::kFooter);
  stream.U16Record(record::kHCenter, 0);
  stream.U16Record(record::kVCenter, 0);
}

// Orientation is written as set, with "paper settings undefined" and
// "orientation undefined" both clear: either of them makes readers ignore it.
void WriteSetup(RecordStream& stream, const Worksheet& sheet) {
  stream.Begin(record::kSetup);
  stream.U16(9);    // A4
  stream.U16(100);  // scale, per cent
  stream.U16(1);    // first page number
  stream.U16(1);    // fit to one page wide
  stream.U16(1);    // and one page high (only when fitting is on)
  stream.U16(sheet.Orientation() == xl::kLandscape ? 0x0000 : 0x0002);
  stream.U16(600);  // print resolution
  stream.U16(600);
  stream.F64(0.3);  // header margin, inches
  stream.F64(0.3);  // footer margin
  stream.U16(1);    // copies
  stream.End();
}

void WriteColumnInfos(RecordStream& stream, const Worksheet& sheet) {
  const auto& widths = sheet.CustomColumnWidths();
  for (auto it = widths.begin(); it != widths.end();) {
    auto last = it;
    while (std::next(last) != widths.end() && std::next(last)->first == last->first + 1 &&
           std::next(last)->second == it->second) {
      ++last;
    }
    stream.Begin(record::kColInfo);
    stream.U16(static_cast<std::uint16_t>(it->first - 1));
    stream.U16(static_cast<std::uint16_t>(last->first - 1));
    stream.U16(ColumnWidthUnits(it->second));
    stream.U16(kDefaultCellXf);
    stream.U16(it->second == 0 ? 0x0003 : 0x0002);  // set by the user; hidden at width 0
    stream.U16(0);
    stream.End();
    it = std::next(last);
  }
}

void WriteDimensions(RecordStream& stream, const Worksheet& sheet) {
  std::uint32_t firstRow = 0, lastRow = 0;
  std::uint16_t firstColumn = 0, lastColumn = 0;
  const auto& cells = sheet.Cells();
  if (!cells.empty()) {
    firstRow = static_cast<std::uint32_t>(cells.begin()->first.first - 1);
    lastRow = static_cast<std::uint32_t>(cells.rbegin()->first.first);  // last used row + 1, 0-based
    int low = kMaxColumns, high = 1;
    for (const auto& [key, cell] : cells) low = std::min(low, key.second), high = std::max(high, key.second);
    firstColumn = static_cast<std::uint16_t>(low - 1);
    lastColumn = static_cast<std::uint16_t>(high);
  }
  stream.Begin(record::kDimensions);
  stream.U32(firstRow);
  stream.U32(lastRow);
  stream.U16(firstColumn);
  stream.U16(lastColumn);
  stream.U16(0);
  stream.End();
}

struct RowSpan {
  int firstColumn = 0;  // 0-based; both 0 for a row without cells
  int lastColumn = 0;   // last + 1
};

void WriteRow(RecordStream& stream, const Worksheet& sheet, int row, const RowSpan& span) {
  const double height = sheet.RowHeight(row);
  std::uint32_t flags = 0x000F0100;  // reserved bits as Excel writes them
  std::uint16_t twips = static_cast<std::uint16_t>(std::lround(height * 20));
  if (sheet.HasCustomHeight(row)) flags |= 0x40;
  if (twips == 0) {
    flags |= 0x20;  // hidden
    twips = static_cast<std::uint16_t>(std::lround(kStandardRowHeight * 20));
  }
  twips = std::clamp<std::uint16_t>(twips, 2, 8192);
  stream.Begin(record::kRow);
  stream.U16(static_cast<std::uint16_t>(row - 1));
  stream.U16(static_cast<std::uint16_t>(span.firstColumn));
  stream.U16(static_cast<std::uint16_t>(span.lastColumn));
  stream.U16(twips);
  stream.U16(0);
  stream.U16(0);
  stream.U32(flags);
  stream.End();
}

void WriteCell(RecordStream& stream, int row, int column, const Cell& cell, const StyleTable& styles,
               const SharedStrings& strings) {
  const auto xf = styles.XfIndex(cell.format);
  if (std::holds_alternative<double>(cell.value)) {
    stream.Begin(record::kNumber);
  } else if (std::holds_alternative<std::string>(cell.value)) {
    stream.Begin(record::kLabelSst);
  } else {
    stream.Begin(record::kBlank);
  }
  stream.U16(static_cast<std::uint16_t>(row - 1));
  stream.U16(static_cast<std::uint16_t>(column - 1));
  stream.U16(xf);
  if (const auto* number = std::get_if<double>(&cell.value)) stream.F64(*number);
  if (const auto* text = std::get_if<std::string>(&cell.value)) stream.U32(strings.IndexOf(*text));
  stream.End();
}

// Rows go in blocks of 32: the block's ROW records, then its cells row by row.
void WriteRowsAndCells(RecordStream& stream, const Worksheet& sheet, const StyleTable& styles,
                       const SharedStrings& strings) {
  std::map<int, RowSpan> rows;
  for (const auto& [key, cell] : sheet.Cells()) {
    auto [it, added] = rows.try_emplace(key.first, RowSpan{key.second - 1, key.second});
    if (!added) it->second.lastColumn = std::max(it->second.lastColumn, key.second);
  }
  // Rows without cells need a record only for a height of their own.
  for (const auto& [row, height] : sheet.CustomRowHeights()) rows.try_emplace(row);
  auto rowIt = rows.begin();
  auto cellIt = sheet.Cells().begin();
  while (rowIt != rows.end()) {
    const int block = (rowIt->first - 1) / kRowsPerBlock;
    auto blockEnd = rowIt;
    while (blockEnd != rows.end() && (blockEnd->first - 1) / kRowsPerBlock == block) {
      WriteRow(stream, sheet, blockEnd->first, blockEnd->second);
      ++blockEnd;
    }
    while (cellIt != sheet.Cells().end() && (cellIt->first.first - 1) / kRowsPerBlock == block) {
      WriteCell(stream, cellIt->first.first, cellIt->first.second, cellIt->second, styles, strings);
      ++cellIt;
    }
    rowIt = blockEnd;
  }
}

void WriteWindow(RecordStream& stream, bool active) {
  stream.Begin(record::kWindow2);
  // Gridlines, headers, zeros, default gridline colour, outline symbols;
  // the active sheet is also selected and shown.
  stream.U16(active ? 0x06B6 : 0x00B6);
  stream.U16(0);     // top row shown
  stream.U16(0);     // left column shown
  stream.U16(0x40);  // gridline colour: automatic
  stream.U16(0);
  stream.U16(0);  // page-break preview zoom: default
  stream.U16(0);  // normal zoom: default
  stream.U16(0);
  stream.U16(0);
  stream.End();

  stream.Begin(record::kSelection);
  stream.U8(3);   // top-left pane
  stream.U16(0);  // active cell A1
  stream.U16(0);
  stream.U16(0);
  stream.U16(1);  // one selected range: A1
  stream.U16(0);
  stream.U16(0);
  stream.U8(0);
  stream.U8(0);
  stream.End();
}

void WriteMerges(RecordStream& stream, const Worksheet& sheet) {
  const auto& merges = sheet.MergedRanges();
  for (std::size_t first = 0; first < merges.size(); first += kMaxMergesPerRecord) {
    const std::size_t count = std::min(kMaxMergesPerRecord, merges.size() - first);
    stream.Begin(record::kMergedCells);
    stream.U16(static_cast<std::uint16_t>(count));
    for (std::size_t i = first; i < first + count; ++i) {
      stream.U16(static_cast<std::uint16_t>(merges[i].firstRow - 1));
      stream.U16(static_cast<std::uint16_t>(merges[i].lastRow - 1));
      stream.U16(static_cast<std::uint16_t>(merges[i].firstColumn - 1));
      stream.U16(static_cast<std::uint16_t>(merges[i].lastColumn - 1));
    }
    stream.End();
  }
}

}  // namespace

std::uint16_t ColumnWidthUnits(double characters) {
  const double pixels = characters < 1 ? std::floor(characters * (kDigitWidthPixels + kCellPaddingPixels) + 0.5)
                                       : std::floor(characters * kDigitWidthPixels + 0.5) + kCellPaddingPixels;
  return static_cast<std::uint16_t>(std::min(65535.0, std::floor(pixels / kDigitWidthPixels * 256)));
}

void WriteSheet(RecordStream& stream, const Worksheet& sheet, const StyleTable& styles, const SharedStrings& strings,
                bool active) {
  WriteBof(stream, 0x0010);
  WriteSettings(stream);
  WriteSetup(stream, sheet);
  stream.U16Record(record::kDefColWidth, 8);
  WriteColumnInfos(stream, sheet);
  WriteDimensions(stream, sheet);
  WriteRowsAndCells(stream, sheet, styles, strings);
  WriteWindow(stream, active);
  WriteMerges(stream, sheet);
  stream.Empty(record::kEof);
}

}  // namespace spreadsheet::xls
