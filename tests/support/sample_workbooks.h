// Workbooks the tests and the benchmark write: the one the measurement export
// builds (the same operations in the same order, from a grid of cell texts as
// the window shows them), and one that stresses the file writers.
#pragma once

#include <string>

#include "export/spreadsheet/workbook.h"
#include "tests/support/measurement_grids.h"

namespace spreadsheet::testing {

// The grids of cell texts the window shows, shared with the export's tests.
using MeasurementGrid = measurement_export::testing::Grid;
using measurement_export::testing::EmptyGrid;
using measurement_export::testing::FullGrid;
using measurement_export::testing::OneCellGrid;

// What the measurement export builds from the grid, with the decimal comma
// the grids are written with.
Workbook BuildMeasurementWorkbook(const MeasurementGrid& grid);

// Texts long enough to be split across several records, in one-byte and
// two-byte form, 1500 short texts, and 70 fill colours (more than the palette
// holds) on a second, portrait sheet.
Workbook BuildStressWorkbook();
std::string StressLatinText();     // 9000 letters a..z
std::string StressCyrillicText();  // 7000 letters "Я" and "ж"

}  // namespace spreadsheet::testing
