// Workbooks the tests and the benchmark write: the one the measurement export
// builds (the same operations in the same order, from a grid of cell texts as
// the window shows them), and one that stresses the file writers.
#pragma once

#include <array>
#include <string>

#include "export/spreadsheet/workbook.h"

namespace spreadsheet::testing {

// Texts of the measurement grid by (column, row), both counted from 0; row 0
// and column 0 are headers. Cells (5, 9) and (6, 9) hold the read date and time.
using MeasurementGrid = std::array<std::array<std::string, 10>, 11>;

// Nothing read yet.
MeasurementGrid EmptyGrid();
// Only slot 0 (grid cell (1, 1)) holds a number; no date or time.
MeasurementGrid OneCellGrid();
// All 84 slots read, none zero, with the read date and time.
MeasurementGrid FullGrid();

// The text of measurement slot i (0..83) in FullGrid(); the value is the same
// number with a decimal point.
std::string SlotText(int slot);
inline constexpr const char* kReadDate = "08.12.2025";
inline constexpr const char* kReadTime = "14:03:07";

Workbook BuildMeasurementWorkbook(const MeasurementGrid& grid);

// Texts long enough to be split across several records, in one-byte and
// two-byte form, 1500 short texts, and 70 fill colours (more than the palette
// holds) on a second, portrait sheet.
Workbook BuildStressWorkbook();
std::string StressLatinText();     // 9000 letters a..z
std::string StressCyrillicText();  // 7000 letters "Я" and "ж"

}  // namespace spreadsheet::testing
