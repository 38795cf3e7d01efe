// Where things live in the measurement grid: 11 columns by 10 rows, row 0
// and column 0 numbering the cells by units and tens, so that a
// measurement's number reads as row header plus column header.
#pragma once

#include "app/grid_types.h"

namespace app {

inline constexpr int kGridColumns = 11;
inline constexpr int kGridRows = 10;
inline constexpr int kSlotCount = 84;

// Measurement slot 0..83 -> its cell: slot 0 in (1, 1), slot 9 in (10, 1),
// slot 10 in (1, 2), slot 83 in (4, 9).
constexpr TGridCoord SlotCell(int slot) { return {slot % 10 + 1, slot / 10 + 1}; }

// The date and the time of the last read; painted invisible.
inline constexpr TGridCoord kReadDateCell{5, 9};
inline constexpr TGridCoord kReadTimeCell{6, 9};

constexpr bool IsHeaderCell(int col, int row) { return row == 0 || col == 0; }
// Cells (5, 9) to (10, 9): never a measurement, painted as window background.
constexpr bool IsHiddenCell(int col, int row) { return row == 9 && col >= 5; }

}  // namespace app
