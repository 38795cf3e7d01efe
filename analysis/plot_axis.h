// An axis of a small plot: a range with round ticks (1, 2 or 5 times a
// power of ten) at both ends and about five in all, and the ticks' texts.
#pragma once

#include <string>
#include <vector>

namespace analysis {

struct PlotAxis {
  double low = 0;   // the first tick
  double high = 1;  // the last tick
  double step = 1;
  int decimals = 0;  // the ticks' texts show this many

  std::vector<double> Ticks() const;
  // Where `value` lies along the axis: 0 at low, 1 at high.
  double Fraction(double value) const { return (value - low) / (high - low); }
};

// An axis that covers `from` to `to`. A single value gets room about it;
// `whole` keeps the step to whole numbers (counts, slot numbers).
PlotAxis MakePlotAxis(double from, double to, bool whole = false);

// A tick's text, with the user's decimal separator.
std::string TickText(const PlotAxis& axis, double value, const std::string& separator);

}  // namespace analysis
