// The measurement table: the stopwatch's 84 slots and the 11 x 10 grid that
// shows them, for the read-out, the window, the export and the emulator.
//
// Row 0 and column 0 are headers numbering the cells by units and tens, so
// that a measurement's number reads as row header plus column header. Slot i
// lives in cell (i mod 10 + 1, i div 10 + 1): slot 0 in (1, 1), slot 83 in
// (4, 9). The cells of the last row after slot 83 never hold a measurement:
// the first two keep the date and the time of the last read, and all of them
// are kept out of sight.
#pragma once

#include <string_view>

namespace stopwatch {

inline constexpr int kSlotCount = 84;
// Ten slots to a row, numbered by units: a row's slots are its tens plus 0 to 9.
inline constexpr int kSlotsPerRow = 10;
// The rows of slots, 00 to 80; the last one is filled only in part.
inline constexpr int kSlotRows = (kSlotCount + kSlotsPerRow - 1) / kSlotsPerRow;
// The grid: the header column and the header row before the slots.
inline constexpr int kGridColumns = kSlotsPerRow + 1;
inline constexpr int kGridRows = kSlotRows + 1;

// A grid cell, both coordinates counted from 0. The widget kit's grid has a
// cell address of its own (TGridCoord, app/kit/grid_types.h): the kit knows
// no measurement table, and this layer, like the export below the window,
// knows no toolkit; the window passes (column, row) from one to the other.
struct Cell {
  int column = 0;
  int row = 0;
  friend bool operator==(const Cell&, const Cell&) = default;
};

constexpr Cell SlotCell(int slot) { return Cell{slot % kSlotsPerRow + 1, slot / kSlotsPerRow + 1}; }
// The slot of a cell that holds one (neither a header nor hidden).
constexpr int SlotAt(int column, int row) { return (row - 1) * kSlotsPerRow + (column - 1); }

inline constexpr Cell kLastSlotCell = SlotCell(kSlotCount - 1);
inline constexpr Cell kReadDateCell{5, 9};
inline constexpr Cell kReadTimeCell{6, 9};

constexpr bool IsHeaderCell(int column, int row) { return row == 0 || column == 0; }
// Cells (5, 9) to (10, 9), the read's date and time among them.
constexpr bool IsHiddenCell(int column, int row) { return row == kLastSlotCell.row && column > kLastSlotCell.column; }
constexpr bool IsReadStampCell(int column, int row) {
  return Cell{column, row} == kReadDateCell || Cell{column, row} == kReadTimeCell;
}

// What a slot holding no time shows.
inline constexpr std::string_view kEmptyTimeText = "------";

}  // namespace stopwatch
