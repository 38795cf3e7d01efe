// The statistics window's two small plots, drawn through the kit's canvas
// so that every backend draws the same: the times in slot order, and
// their histogram. Axes are labelled in Russian, times in seconds, numbers
// with the user's decimal separator.
#pragma once

#include <string>

#include "app/kit/canvas.h"
#include "app/statistics_report.h"

namespace app {

// The times as points against their slot numbers, the mean as a solid
// line and the mean ± the random error as dashed lines (as far as the
// sample gives them).
void DrawTimesPlot(TCanvas& canvas, const TRect& area, const StatisticsReport& report, const std::string& separator);

// A bar for each bin of the times' histogram, as high as the times in it.
void DrawHistogram(TCanvas& canvas, const TRect& area, const StatisticsReport& report, const std::string& separator);

}  // namespace app
