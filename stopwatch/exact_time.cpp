#include "stopwatch/exact_time.h"

#include <charconv>

namespace stopwatch {

ExactTime ExactTime::FromUnitDigits(std::string_view digits) {
  const auto first = digits.find_first_not_of('0');
  ExactTime time;
  if (first != std::string_view::npos) time.units_.assign(digits.substr(first));
  return time;
}

ExactTime ExactTime::FromUnits(unsigned long long units) { return FromUnitDigits(std::to_string(units)); }

bool ExactTime::AtLeastPowerOfTenSeconds(int power) const {
  // Without leading zeros, the count is >= 10^(power + 4) exactly when it has
  // more than power + 4 digits.
  return !IsZero() && units_.size() > static_cast<std::size_t>(power + kUnitDecimals);
}

double ExactTime::Seconds() const {
  // from_chars reads the digits the same way whatever the process locale is.
  double units = 0.0;
  std::from_chars(units_.data(), units_.data() + units_.size(), units);
  return units / 10000.0;
}

}  // namespace stopwatch
