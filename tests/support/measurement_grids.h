// The grids of cell texts the window shows after a read, as the export and
// the workbook tests take them: texts by (column, row), both counted from 0;
// row 0 and column 0 are headers, cells (5, 9) and (6, 9) hold the read date
// and time.
#pragma once

#include <array>
#include <string>

namespace measurement_export::testing {

using Grid = std::array<std::array<std::string, 10>, 11>;

// The text of measurement slot i (0..83) in a full read: distinct values
// with one to four decimals, written with `separator`.
std::string SlotText(int slot, const std::string& separator);
// The number that text stands for.
double SlotValue(int slot);

inline constexpr const char* kReadDate = "08.12.2025";
inline constexpr const char* kReadTime = "14:03:07";

// Nothing read yet.
inline Grid EmptyGrid() { return {}; }
// All 84 slots, the read date and time.
Grid FullGrid(const std::string& separator = ",");
// Slot 0 only (3.1416), no date or time.
Grid OneCellGrid(const std::string& separator = ",");
// Every slot reads "------" (a zero time), with the date and time cells empty.
Grid DashesGrid();

}  // namespace measurement_export::testing
