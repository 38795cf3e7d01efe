// What the statistics window shows for a block of the measurement grid:
// the times it holds, their figures with their Russian names, and why
// some figures cannot be given. No toolkit: the window only puts it on
// the screen.
#pragma once

#include <string>
#include <vector>

#include "analysis/sample_statistics.h"
#include "app/kit/grid_types.h"
#include "stopwatch/excluded_slots.h"

class TStringGrid;

namespace app {

// A measured time as the grid shows it.
struct SlotTime {
  int slot;  // 0 to 83
  double seconds;
  std::string text;  // the cell's text
};

// The block the statistics cover: the grid's selection, or the whole grid
// when only the current cell is selected (as a copy takes it).
TGridRect StatisticsBlock(const TStringGrid& grid);

// The times in the block, in slot order: header cells, the hidden cells,
// empty ones, "------" and anything that is not a number are left out.
// Numbers are written with `separator`.
std::vector<SlotTime> TimesInBlock(const TStringGrid& grid, const TGridRect& block, const std::string& separator);

struct Figure {
  std::string name;
  std::string value;  // "—" where the sample gives none
};

struct StatisticsReport {
  std::vector<SlotTime> times;     // those the figures are worked out from
  std::vector<SlotTime> excluded;  // those set aside, left out of everything else
  analysis::SampleStatistics statistics;
  std::vector<Figure> figures;  // always the same names, in the same order
  std::string note;             // why figures are missing; empty when none are
};

// The figures of `times`, less the slots in `excluded`.
StatisticsReport MakeStatisticsReport(std::vector<SlotTime> times, const std::string& separator,
                                      const stopwatch::ExcludedSlots& excluded = {});

// The figures as "name<TAB>value" lines, each ended by a line feed.
std::string FiguresText(const std::vector<Figure>& figures);

}  // namespace app
