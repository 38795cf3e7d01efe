// A measured time held exactly, as a whole number of 0.0001 s units.
//
// The stopwatch's digit bytes are joined as decimal texts, so a byte above 9
// lengthens the number: nine bytes of up to three digits each give up to 27
// digits, more than 64 bits hold. The count is therefore kept as its decimal
// digits, which is also exactly what the cell text is rounded from; a double
// would round half-way cases the wrong way.
#pragma once

#include <string>
#include <string_view>

namespace stopwatch {

class ExactTime {
 public:
  // Number of decimals of the unit: one unit is 10^-4 s.
  static constexpr int kUnitDecimals = 4;

  ExactTime() = default;
  // `digits`: decimal digits only, leading zeros allowed; empty means zero.
  static ExactTime FromUnitDigits(std::string_view digits);
  static ExactTime FromUnits(unsigned long long units);

  // The count of units in decimal, without leading zeros ("0" for zero).
  const std::string& UnitDigits() const { return units_; }
  bool IsZero() const { return units_ == "0"; }
  // True when the time is at least 10^power seconds (power >= 0).
  bool AtLeastPowerOfTenSeconds(int power) const;
  // The time in seconds as the nearest double, for callers that want a number.
  double Seconds() const;

  friend bool operator==(const ExactTime&, const ExactTime&) = default;

 private:
  std::string units_ = "0";
};

}  // namespace stopwatch
