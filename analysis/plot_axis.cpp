#include "analysis/plot_axis.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace analysis {
namespace {

constexpr double kTickCount = 5;

double RoundStep(double rough) {
  const double power = std::pow(10.0, std::floor(std::log10(rough)));
  for (double m : {1.0, 2.0, 5.0})
    if (m * power >= rough * (1 - 1e-9)) return m * power;
  return 10 * power;
}

}  // namespace

std::vector<double> PlotAxis::Ticks() const {
  std::vector<double> values;
  const int count = static_cast<int>(std::lround((high - low) / step));
  for (int i = 0; i <= count; ++i) values.push_back(low + i * step);
  return values;
}

PlotAxis MakePlotAxis(double from, double to, bool whole) {
  if (to < from) std::swap(from, to);
  if (to == from) {
    const double room = from != 0 ? std::abs(from) * 0.05 : 1.0;
    from -= whole ? std::max(1.0, room) : room;
    to += whole ? std::max(1.0, room) : room;
  }
  PlotAxis axis;
  axis.step = RoundStep((to - from) / kTickCount);
  if (whole) axis.step = std::max(1.0, axis.step);
  axis.low = std::floor(from / axis.step + 1e-9) * axis.step;
  axis.high = std::ceil(to / axis.step - 1e-9) * axis.step;
  if (axis.high <= axis.low) axis.high = axis.low + axis.step;
  axis.decimals = std::max(0, -static_cast<int>(std::floor(std::log10(axis.step) + 1e-9)));
  return axis;
}

std::string TickText(const PlotAxis& axis, double value, const std::string& separator) {
  // A tick at zero that rounding left a hair off it reads "0", not "-0".
  if (std::abs(value) < axis.step * 1e-6) value = 0;
  char buffer[64];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, axis.decimals).ptr;
  std::string text(buffer, end);
  const auto dot = text.find('.');
  if (dot != std::string::npos) text.replace(dot, 1, separator);
  return text;
}

}  // namespace analysis
