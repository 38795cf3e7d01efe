// The figures a lab report gives for repeated measurements of one quantity:
// count, mean, extremes, the sample's spread, the standard error of the
// mean and the random error at 95 % confidence.
#pragma once

#include <optional>
#include <span>

namespace analysis {

// The confidence level of the random error.
inline constexpr double kConfidence = 0.95;

// What a sample of n values allows: the mean and the extremes need one
// value, the spread and everything built on it two.
struct Spread {
  double standardDeviation;  // sample standard deviation (n - 1 in the denominator)
  double standardError;      // of the mean: standardDeviation / sqrt(n)
  double studentT;           // two-sided Student coefficient t(kConfidence, n - 1)
  double randomError;        // studentT * standardError
};

struct SampleStatistics {
  int count = 0;
  double mean = 0;
  double minimum = 0;
  double maximum = 0;
  std::optional<Spread> spread;  // n >= 2 only
};

// The statistics of `values` (all finite). Sums are taken about the mean
// in a second pass, so that values far from zero and close to each other
// (99999.8 and 99999.9) keep the digits in which they differ.
SampleStatistics Describe(std::span<const double> values);

// Student's t for a two-sided interval of probability `confidence` with
// `degreesOfFreedom` >= 1: the (1 + confidence) / 2 quantile.
double StudentCoefficient(double confidence, int degreesOfFreedom);

}  // namespace analysis
