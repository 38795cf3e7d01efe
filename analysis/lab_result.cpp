#include "analysis/lab_result.h"

#include <charconv>
#include <cmath>
#include <stdexcept>
#include <system_error>

namespace analysis {
namespace {

// Written with the full stop whatever the C locale says: to_chars ignores it.
std::string ToChars(double value, std::chars_format format, int precision) {
  char buffer[400];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
  if (error != std::errc()) throw std::range_error("a figure too long to write");
  return std::string(buffer, end);
}

// The decimal exponent of `value`'s first significant digit once the value
// is rounded to `digits` significant digits, and that digit.
struct Lead {
  int exponent;
  char digit;
};
Lead LeadOf(double value, int digits) {
  const std::string text = ToChars(std::abs(value), std::chars_format::scientific, digits - 1);
  return {std::stoi(text.substr(text.find('e') + 1)), text.front()};
}

std::string WithSeparator(std::string text, std::string_view separator) {
  const auto dot = text.find('.');
  if (dot != std::string::npos) text.replace(dot, 1, separator);
  return text;
}

// `value` rounded to the decimal place 10^place.
std::string RoundedTo(double value, int place) {
  if (place < 0) return ToChars(value, std::chars_format::fixed, -place);
  const double unit = std::pow(10.0, place);
  return ToChars(std::round(value / unit) * unit, std::chars_format::fixed, 0);
}

}  // namespace

std::string FormatFigure(double value, std::string_view separator) {
  if (value == 0) return "0";
  const int exponent = LeadOf(value, kFigureDigits).exponent;
  const int decimals = exponent >= kFigureDigits - 1 ? 0 : kFigureDigits - 1 - exponent;
  return WithSeparator(ToChars(value, std::chars_format::fixed, decimals), separator);
}

std::string FormatResult(double mean, double error, std::string_view separator) {
  if (!(error > 0)) return FormatFigure(mean, separator) + " ± 0";
  // Enough digits that the first one is the error's own, not a rounding's.
  const Lead lead = LeadOf(error, 15);
  const int figures = lead.digit == '1' ? 2 : 1;
  const int place = lead.exponent - (figures - 1);
  return WithSeparator(RoundedTo(mean, place), separator) + " ± " + WithSeparator(RoundedTo(error, place), separator);
}

}  // namespace analysis
