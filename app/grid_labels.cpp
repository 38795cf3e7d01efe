#include "app/grid_labels.h"

#include <string>

#include "app/kit/string_grid.h"
#include "stopwatch/measurement_table.h"

namespace app {

using stopwatch::kGridColumns;
using stopwatch::kGridRows;
using stopwatch::kSlotRows;
using stopwatch::kSlotsPerRow;

void LabelMeasurementGrid(TStringGrid& grid) {
  // Column n + 1 stands for "+n" units, row n + 1 for n tens: columns and
  // rows 2 to 9 pairwise, then the empty cells, then the first row's "00"
  // and the last column's "+9".
  static_assert(kSlotsPerRow == kSlotRows + 1, "the pairwise pass takes the columns as far as the rows");
  for (int n = 1; n < kSlotRows; ++n) {
    grid.SetCell(n + 1, 0, "  +" + std::to_string(n));
    grid.SetCell(0, n + 1, "     " + std::to_string(n) + "0");
  }
  // Column by column, every data cell, the hidden last-row cells included.
  for (int col = 1; col < kGridColumns; ++col)
    for (int row = 1; row < kGridRows; ++row) grid.SetCell(col, row, "");
  grid.SetCell(0, 1, "     00");
  grid.SetCell(kGridColumns - 1, 0, "  +" + std::to_string(kSlotsPerRow - 1));
  grid.SetCell(0, 0, " \u2116 измерения");
}

}  // namespace app
