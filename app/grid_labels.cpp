#include "app/grid_labels.h"

#include <string>

#include "app/kit/string_grid.h"
#include "stopwatch/measurement_table.h"

namespace app {

void LabelMeasurementGrid(TStringGrid& grid) {
  // Column n + 1 stands for "+n" units; row n + 1 for n tens.
  for (int n = 1; n <= 8; ++n) {
    grid.setCell(n + 1, 0, "  +" + std::to_string(n));
    grid.setCell(0, n + 1, "     " + std::to_string(n) + "0");
  }
  // Column by column, every data cell, the hidden last-row cells included.
  for (int col = 1; col < stopwatch::kGridColumns; ++col)
    for (int row = 1; row < stopwatch::kGridRows; ++row) grid.setCell(col, row, "");
  grid.setCell(0, 1, "     00");
  grid.setCell(10, 0, "  +9");
  grid.setCell(0, 0, " \u2116 измерения");
}

}  // namespace app
