#include "export/spreadsheet/cell_address.h"

#include <utility>

#include "export/spreadsheet/spreadsheet_error.h"

namespace spreadsheet {
namespace {

[[noreturn]] void RejectAddress(std::string_view address) {
  throw SpreadsheetError("Неверный адрес диапазона «" + std::string(address) + "»");
}

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

struct Cell {
  int row;
  int column;
};

// One corner: [$]letters[$]digits, taking up the whole of `text`.
bool ParseCell(std::string_view text, Cell& cell) {
  std::size_t i = 0;
  if (i < text.size() && text[i] == '$') ++i;
  int column = 0;
  std::size_t letters = 0;
  while (i < text.size() && IsLetter(text[i])) {
    if (++letters > 3) return false;
    column = column * 26 + ((text[i] | 0x20) - 'a' + 1);
    ++i;
  }
  if (letters == 0) return false;
  if (i < text.size() && text[i] == '$') ++i;
  if (i >= text.size() || text[i] == '0') return false;  // no row, or a leading zero
  long row = 0;
  std::size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) {
    if (++digits > 5) return false;
    row = row * 10 + (text[i] - '0');
    ++i;
  }
  if (digits == 0 || i != text.size()) return false;
  if (column > kMaxColumns || row > kMaxRows) return false;
  cell = {static_cast<int>(row), column};
  return true;
}

void CheckCell(int row, int column) {
  if (row < 1 || row > kMaxRows || column < 1 || column > kMaxColumns) {
    throw SpreadsheetError("Ячейка (" + std::to_string(row) + ", " + std::to_string(column) +
                           ") лежит за пределами листа");
  }
}

}  // namespace

CellRange ParseRange(std::string_view address) {
  const std::size_t colon = address.find(':');
  Cell first{};
  Cell last{};
  if (colon == std::string_view::npos) {
    if (!ParseCell(address, first)) RejectAddress(address);
    last = first;
  } else if (!ParseCell(address.substr(0, colon), first) || !ParseCell(address.substr(colon + 1), last)) {
    RejectAddress(address);
  }
  return MakeRange(first.row, first.column, last.row, last.column);
}

CellRange SingleCell(int row, int column) { return MakeRange(row, column, row, column); }

CellRange MakeRange(int firstRow, int firstColumn, int lastRow, int lastColumn) {
  CheckCell(firstRow, firstColumn);
  CheckCell(lastRow, lastColumn);
  if (firstRow > lastRow) std::swap(firstRow, lastRow);
  if (firstColumn > lastColumn) std::swap(firstColumn, lastColumn);
  return {firstRow, firstColumn, lastRow, lastColumn};
}

std::string ColumnName(int column) {
  std::string name;
  while (column > 0) {
    const int digit = (column - 1) % 26;
    name.insert(name.begin(), static_cast<char>('A' + digit));
    column = (column - 1) / 26;
  }
  return name;
}

std::string FormatRange(const CellRange& range) {
  std::string text = ColumnName(range.firstColumn) + std::to_string(range.firstRow);
  if (range.lastRow != range.firstRow || range.lastColumn != range.firstColumn) {
    text += ":" + ColumnName(range.lastColumn) + std::to_string(range.lastRow);
  }
  return text;
}

}  // namespace spreadsheet
