// The statistics window's two small plots, drawn through the kit's canvas
// so that every backend draws the same: the times in slot order, and
// their histogram. Axes are labelled in Russian, times in seconds, numbers
// with the user's decimal separator.
#pragma once

#include <algorithm>
#include <string>

#include "app/kit/canvas.h"
#include "app/statistics/statistics_report.h"

namespace app {

// The plots' own sizes (margins, ticks, points, lines) are given for a
// screen of 96 dots per inch; a page of higher resolution draws them
// larger by as much. Texts take the canvas's font as it is.
struct PlotScale {
  int dpi = 96;
  int operator()(int screenPixels) const { return std::max(1, screenPixels * dpi / 96); }
};

// The times as points against their slot numbers, the mean as a solid
// line and the mean ± the random error as dashed lines (as far as the
// sample gives them).
void DrawTimesPlot(TCanvas& canvas, const TRect& area, const StatisticsReport& report, const std::string& separator,
                   PlotScale scale = {});

// A bar for each bin of the times' histogram, as high as the times in it.
void DrawHistogram(TCanvas& canvas, const TRect& area, const StatisticsReport& report, const std::string& separator,
                   PlotScale scale = {});

}  // namespace app
