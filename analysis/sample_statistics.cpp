#include "analysis/sample_statistics.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include <boost/math/distributions/students_t.hpp>

namespace analysis {

double StudentCoefficient(double confidence, int degreesOfFreedom) {
  if (degreesOfFreedom < 1) throw std::invalid_argument("Student's t needs at least one degree of freedom");
  const boost::math::students_t_distribution<double> distribution(degreesOfFreedom);
  return boost::math::quantile(boost::math::complement(distribution, (1 - confidence) / 2));
}

SampleStatistics Describe(std::span<const double> values) {
  SampleStatistics result;
  result.count = static_cast<int>(values.size());
  if (values.empty()) return result;
  const auto [low, high] = std::minmax_element(values.begin(), values.end());
  result.minimum = *low;
  result.maximum = *high;

  const double n = static_cast<double>(values.size());
  double sum = 0;
  for (double x : values) sum += x;
  double mean = sum / n;
  // The deviations' own sum corrects the rounding left in the first mean.
  double deviationSum = 0;
  for (double x : values) deviationSum += x - mean;
  mean += deviationSum / n;
  // Rounding may not take the mean outside the values' range.
  result.mean = std::clamp(mean, result.minimum, result.maximum);
  if (values.size() < 2) return result;

  double squares = 0;
  double deviations = 0;
  for (double x : values) {
    const double d = x - result.mean;
    squares += d * d;
    deviations += d;
  }
  const double sumOfSquares = std::max(0.0, squares - deviations * deviations / n);
  Spread spread;
  spread.standardDeviation = std::sqrt(sumOfSquares / (n - 1));
  spread.standardError = spread.standardDeviation / std::sqrt(n);
  spread.studentT = StudentCoefficient(kConfidence, result.count - 1);
  spread.randomError = spread.studentT * spread.standardError;
  result.spread = spread;
  return result;
}

}  // namespace analysis
