// Decimal texts of the figures, written with the user's decimal separator.
#pragma once

#include <string>
#include <string_view>

namespace analysis {

// Significant digits of a figure shown on its own.
inline constexpr int kFigureDigits = 6;

// `value` in fixed-point notation with kFigureDigits significant digits
// (all of them before the separator for values of a million and more);
// zero is "0".
std::string FormatFigure(double value, std::string_view separator);

// The result as a lab report writes it, "mean ± error": the error rounded
// to its first significant digit, or to its first two when that digit is a
// 1, and the mean rounded to the same decimal place ("2,03 ± 0,02",
// "2,035 ± 0,015", "11200 ± 200"). The first digit is the error's before
// rounding, so 0.096 gives "0,10". An error of zero keeps the mean as a
// figure: "12,3456 ± 0".
std::string FormatResult(double mean, double error, std::string_view separator);

}  // namespace analysis
