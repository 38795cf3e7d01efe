#include "tests/support/measurement_grids.h"

#include <cstdio>
#include <cstdlib>

namespace measurement_export::testing {
namespace {

// The same values as the reader checks expect
// (tests/spreadsheet/readers/expected_layout.py, slot_value).
std::string PlainSlotText(int slot) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4f", 0.5 + slot * 1.0625 + (slot % 7) * 0.0001);
  return text;
}

}  // namespace

std::string SlotText(int slot, const std::string& separator) {
  std::string text = PlainSlotText(slot);
  return text.replace(text.find('.'), 1, separator);
}

double SlotValue(int slot) { return std::strtod(PlainSlotText(slot).c_str(), nullptr); }

Grid FullGrid(const std::string& separator) {
  Grid grid{};
  for (int slot = 0; slot < 84; ++slot) grid[slot % 10 + 1][slot / 10 + 1] = SlotText(slot, separator);
  grid[5][9] = kReadDate;
  grid[6][9] = kReadTime;
  return grid;
}

Grid OneCellGrid(const std::string& separator) {
  Grid grid{};
  grid[1][1] = "3" + separator + "1416";
  return grid;
}

Grid DashesGrid() {
  Grid grid{};
  for (int slot = 0; slot < 84; ++slot) grid[slot % 10 + 1][slot / 10 + 1] = "------";
  return grid;
}

}  // namespace measurement_export::testing
