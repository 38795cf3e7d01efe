// The histogram of a sample: equal bins from its smallest to its largest
// value, as many as Sturges' rule gives (1 + log2 n, rounded up).
#pragma once

#include <span>
#include <vector>

namespace analysis {

struct Histogram {
  double lower = 0;  // the first bin's lower edge
  double width = 0;  // of each bin
  std::vector<int> counts;

  double Upper() const { return lower + width * static_cast<double>(counts.size()); }
};

// Bin i holds the values from lower + i * width up to the next edge; the
// largest value falls in the last bin. Equal values make one bin centred
// on them, 1 % of their value wide (1 for zeros). No values, no bins.
Histogram MakeHistogram(std::span<const double> values);

}  // namespace analysis
