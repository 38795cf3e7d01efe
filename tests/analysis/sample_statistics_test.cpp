// The statistics against Python's own computation of the same numbers, the
// result's rounding, and the histogram's bins.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <string>
#include <vector>

#include "analysis/histogram.h"
#include "analysis/lab_result.h"
#include "analysis/sample_statistics.h"

namespace {

// What tests/analysis/independent_statistics.py prints for `values`.
std::vector<double> Independent(const std::vector<double>& values) {
  std::string command = std::string(LUMETRA_PYTHON) + " " + LUMETRA_INDEPENDENT_STATISTICS;
  for (double v : values) {
    char text[64];
    command += ' ';
    command.append(text, std::to_chars(text, text + sizeof text, v).ptr);
  }
  std::vector<double> figures;
  FILE* python = popen(command.c_str(), "r");
  if (python == nullptr) return figures;
  for (double figure; std::fscanf(python, "%lf", &figure) == 1;) figures.push_back(figure);
  pclose(python);
  return figures;
}

void ExpectClose(double actual, double expected, double relative, const char* what) {
  EXPECT_NEAR(actual, expected, std::abs(expected) * relative + 1e-300) << what;
}

void ExpectAsPythonHasIt(const std::vector<double>& values) {
  const std::vector<double> expected = Independent(values);
  ASSERT_EQ(expected.size(), values.size() >= 2 ? 8u : 4u) << "Python's answer";
  const analysis::SampleStatistics s = analysis::Describe(values);
  EXPECT_EQ(s.count, expected[0]);
  ExpectClose(s.mean, expected[1], 1e-15, "mean");
  EXPECT_EQ(s.minimum, expected[2]);
  EXPECT_EQ(s.maximum, expected[3]);
  ASSERT_EQ(s.spread.has_value(), values.size() >= 2);
  if (!s.spread) return;
  // Exact zeros stay zeros; otherwise all but the last digits agree.
  ExpectClose(s.spread->standardDeviation, expected[4], 1e-12, "standard deviation");
  ExpectClose(s.spread->standardError, expected[5], 1e-12, "standard error");
  ExpectClose(s.spread->studentT, expected[6], 1e-12, "Student's t");
  ExpectClose(s.spread->randomError, expected[7], 1e-12, "random error");
}

TEST(SampleStatistics, AgreeWithAnIndependentComputation) {
  // Equal values: no spread at all.
  ExpectAsPythonHasIt({12.3456, 12.3456, 12.3456, 12.3456, 12.3456});
  // One value: no spread to speak of; two: t has one degree of freedom.
  ExpectAsPythonHasIt({7.5});
  ExpectAsPythonHasIt({12.3456, 12.3457});
  // All 84 slots, holding the smallest time a cell shows and the largest.
  std::vector<double> extremes;
  for (int slot = 0; slot < 84; ++slot) extremes.push_back(slot % 2 == 0 ? 0.0001 : 100000.0);
  ExpectAsPythonHasIt(extremes);
  // Close to the largest time, differing in the last digit only.
  std::vector<double> close;
  for (int slot = 0; slot < 84; ++slot) close.push_back(99999.9 - 0.1 * (slot % 3));
  ExpectAsPythonHasIt(close);
}

TEST(SampleStatistics, CloseValuesDefeatTheOnePassFormulaButNotThis) {
  std::vector<double> close;
  for (int slot = 0; slot < 84; ++slot) close.push_back(99999.9 - 0.1 * (slot % 3));
  // The textbook shortcut, sum of squares less n times the squared mean.
  double sum = 0, squares = 0;
  for (double x : close) {
    sum += x;
    squares += x * x;
  }
  const double n = static_cast<double>(close.size());
  const double naive = std::sqrt(std::max(0.0, (squares - sum * sum / n) / (n - 1)));
  const double exact = Independent(close).at(4);
  EXPECT_GT(std::abs(naive - exact) / exact, 1e-6) << "the set is one that needs the care";
  ExpectClose(analysis::Describe(close).spread->standardDeviation, exact, 1e-12, "standard deviation");
}

TEST(LabResult, RoundsToTheErrorsFirstDigitOrTwoWhenItIsOne) {
  EXPECT_EQ(analysis::FormatResult(2.0347, 0.0234, ","), "2,03 ± 0,02");
  EXPECT_EQ(analysis::FormatResult(2.0347, 0.0153, ","), "2,035 ± 0,015");
  EXPECT_EQ(analysis::FormatResult(2.0347, 0.0153, "."), "2.035 ± 0.015");
  // Places before the separator, and an error rounded up into the next decade.
  EXPECT_EQ(analysis::FormatResult(11219.33, 234.5, ","), "11200 ± 200");
  EXPECT_EQ(analysis::FormatResult(3.14159, 0.096, ","), "3,14 ± 0,10");
  EXPECT_EQ(analysis::FormatResult(12.3456, 0, ","), "12,3456 ± 0");
}

TEST(LabResult, FiguresKeepSixSignificantDigits) {
  EXPECT_EQ(analysis::FormatFigure(11219.333333, ","), "11219,3");
  EXPECT_EQ(analysis::FormatFigure(0.000123456789, ","), "0,000123457");
  EXPECT_EQ(analysis::FormatFigure(99999.96, "."), "100000");
  EXPECT_EQ(analysis::FormatFigure(2.5, ","), "2,50000");
  EXPECT_EQ(analysis::FormatFigure(1234567.8, ","), "1234568");
  EXPECT_EQ(analysis::FormatFigure(0, ","), "0");
}

TEST(Histogram, SturgesBinsFromTheSmallestToTheLargestValue) {
  std::vector<double> values;
  for (int i = 0; i < 84; ++i) values.push_back(10.0 + i * 0.5);
  const analysis::Histogram h = analysis::MakeHistogram(values);
  ASSERT_EQ(h.counts.size(), 8u);  // 1 + log2 84, rounded up
  EXPECT_EQ(h.lower, 10.0);
  EXPECT_DOUBLE_EQ(h.Upper(), 10.0 + 83 * 0.5);
  EXPECT_EQ(std::accumulate(h.counts.begin(), h.counts.end(), 0), 84);
  EXPECT_GE(h.counts.back(), 1) << "the largest value is counted";

  const analysis::Histogram same = analysis::MakeHistogram(std::vector<double>{2.0, 2.0, 2.0});
  ASSERT_EQ(same.counts, std::vector<int>{3});
  EXPECT_LT(same.lower, 2.0);
  EXPECT_GT(same.Upper(), 2.0);
}

}  // namespace
