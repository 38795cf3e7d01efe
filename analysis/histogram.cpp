#include "analysis/histogram.h"

#include <algorithm>
#include <cmath>

namespace analysis {

Histogram MakeHistogram(std::span<const double> values) {
  Histogram histogram;
  if (values.empty()) return histogram;
  const auto [low, high] = std::minmax_element(values.begin(), values.end());
  if (*low == *high) {
    histogram.width = *low != 0 ? std::abs(*low) * 0.01 : 1.0;
    histogram.lower = *low - histogram.width / 2;
    histogram.counts.assign(1, static_cast<int>(values.size()));
    return histogram;
  }
  const int bins = 1 + static_cast<int>(std::ceil(std::log2(static_cast<double>(values.size()))));
  histogram.lower = *low;
  histogram.width = (*high - *low) / bins;
  histogram.counts.assign(static_cast<std::size_t>(bins), 0);
  for (double x : values) {
    const int bin = static_cast<int>((x - *low) / histogram.width);
    ++histogram.counts[static_cast<std::size_t>(std::clamp(bin, 0, bins - 1))];
  }
  return histogram;
}

}  // namespace analysis
