// Where things live in the measurement grid: 11 columns by 10 rows, row 0
// and column 0 numbering the cells by units and tens, so that a
// measurement's number reads as row header plus column header.
#pragma once

#include "app/kit/grid_types.h"

namespace app {

inline constexpr int kGridColumns = 11;
inline constexpr int kGridRows = 10;
inline constexpr int kSlotCount = 84;

// Which cell holds which measurement slot, and the cells of the read's date
// and time, are the stopwatch read-out's (stopwatch/wire_format.h).

constexpr bool IsHeaderCell(int col, int row) { return row == 0 || col == 0; }
// Cells (5, 9) to (10, 9): never a measurement, painted as window background.
constexpr bool IsHiddenCell(int col, int row) { return row == 9 && col >= 5; }

}  // namespace app
