// The lab sheet: one A4 portrait page with the table of measurements as the
// window shows it (times set aside struck through), the statistics of the
// cells the statistics window covers, the result as a lab report writes
// it, both plots, and lines for the pupil to fill in by hand. Drawn through
// the kit's canvas in the page's own pixels, so that the printer, the PDF
// and the tests get the same sheet on every system.
#pragma once

#include <string>
#include <vector>

#include "app/kit/canvas.h"
#include "app/kit/grid_types.h"
#include "app/kit/printing.h"
#include "app/statistics/statistics_report.h"
#include "stopwatch/excluded_slots.h"

class TStringGrid;

namespace app {

// What the sheet shows, taken from the window when the user asks for it.
struct LabSheet {
  std::vector<std::string> cells;  // the grid's texts, row by row, 11 x 10
  stopwatch::ExcludedSlots excluded;
  TGridRect block;                 // the cells the statistics cover
  bool wholeTable = true;          // the block is the whole grid
  std::string readDate, readTime;  // of the read the table holds; empty before the first
  std::string separator;           // the user's decimal separator
  StatisticsReport report;         // of the block, less the excluded times

  const std::string& Cell(int col, int row) const;
};

// The sheet for the grid's table, the statistics over `block`.
LabSheet MakeLabSheet(const TStringGrid& grid, const stopwatch::ExcludedSlots& excluded, const TGridRect& block,
                      const std::string& separator);

// Where the drawing put the sheet's parts, in page pixels.
struct LabSheetLayout {
  TRect content;               // inside the margins, and inside what the printer prints
  std::vector<TRect> cells;    // row by row as LabSheet::cells; empty for the hidden cells
  TRect resultLine;            // the line with the result
  TRect timesPlot, histogram;  // the plots' frames
  std::vector<TRect> fillIn;   // the lines to fill in by hand
};

// "Результат: t = (2,035 ± 0,015) с, P = 95 %", or what stands in for it.
std::string ResultLine(const StatisticsReport& report);

LabSheetLayout DrawLabSheet(TCanvas& canvas, const kit::Page& page, const LabSheet& sheet);

// The sheet as a job for the printer or the PDF, named after the table.
kit::PrintJob LabSheetJob(LabSheet sheet);

}  // namespace app
