#include "stopwatch/cell_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

namespace stopwatch {
namespace {

// A positive decimal 0.d1d2d3... x 10^exponent, digits without leading zeros.
struct Decimal {
  std::string digits;
  int exponent = 0;
};

Decimal ToDecimal(const ExactTime& time) {
  const std::string& units = time.UnitDigits();
  return Decimal{units, static_cast<int>(units.size()) - ExactTime::kUnitDecimals};
}

// Keeps the first `keep` significant digits, rounding half away from zero on
// the digits dropped. Returns an empty digit string when nothing is left.
Decimal RoundToDigits(Decimal value, int keep) {
  const int length = static_cast<int>(value.digits.size());
  if (keep >= length) return value;
  if (keep < 0) return Decimal{};
  const bool roundUp = value.digits[keep] >= '5';
  value.digits.resize(keep);
  if (!roundUp) return value;
  int pos = keep - 1;
  while (pos >= 0 && value.digits[pos] == '9') value.digits[pos--] = '0';
  if (pos >= 0) {
    ++value.digits[pos];
  } else {
    // All nines (or nothing kept): the value becomes the next power of ten.
    value.digits.insert(value.digits.begin(), '1');
    ++value.exponent;
  }
  return value;
}

std::string ExponentForm(Decimal value, std::string_view separator) {
  const auto last = value.digits.find_last_not_of('0');
  value.digits.resize(last == std::string::npos ? 1 : last + 1);
  std::string text(1, value.digits[0]);
  if (value.digits.size() > 1) {
    text += separator;
    text.append(value.digits, 1);
  }
  text += 'E';
  text += std::to_string(value.exponent - 1);
  return text;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string FormatFixed(const ExactTime& time, int decimals, std::string_view separator) {
  Decimal value = ToDecimal(time);
  if (!time.IsZero()) {
    value = RoundToDigits(value, std::min(kCellPrecision, value.exponent + decimals));
  }
  if (value.digits.empty() || time.IsZero()) value = Decimal{"", 1};  // zero
  if (value.exponent > kCellPrecision) return ExponentForm(value, separator);

  const auto digitAt = [&value](int pos) {
    return pos >= 0 && pos < static_cast<int>(value.digits.size()) ? value.digits[pos] : '0';
  };
  std::string text;
  if (value.exponent <= 0) {
    text += '0';
  } else {
    for (int pos = 0; pos < value.exponent; ++pos) text += digitAt(pos);
  }
  text += separator;
  for (int place = 0; place < decimals; ++place) text += digitAt(value.exponent + place);
  return text;
}

std::string CellTextForAnswer(Answer answer, std::string_view separator) {
  ExactTime time = DecodeTime(answer);
  if (time.AtLeastPowerOfTenSeconds(2)) {
    if (!time.AtLeastPowerOfTenSeconds(3)) return FormatFixed(time, 3, separator);
    if (!time.AtLeastPowerOfTenSeconds(4)) return FormatFixed(time, 2, separator);
    return FormatFixed(time, 1, separator);
  }
  if (answer[kIncrementFlagByte] == 1) {
    IncrementDigits(answer);
    time = DecodeTime(answer);
  }
  if (time.IsZero()) return std::string(kEmptyTimeText);
  return FormatFixed(time, 4, separator);
}

std::string DecodedCellText(const RawAnswer& answer, std::string_view separator) {
  RawAnswer copy = answer;
  return CellTextForAnswer(Answer(copy), separator);
}

std::optional<double> ParseCellText(std::string_view text, std::string_view separator) {
  if (separator.empty()) separator = ".";
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);

  // Rewritten with a full stop for the conversion, which ignores the locale.
  std::string plain;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    if (text.front() == '-') plain += '-';
    text.remove_prefix(1);
  }
  std::size_t digits = 0;
  bool separatorSeen = false;
  while (!text.empty()) {
    if (IsDigit(text.front())) {
      plain += text.front();
      text.remove_prefix(1);
      ++digits;
    } else if (!separatorSeen && text.starts_with(separator)) {
      plain += '.';
      text.remove_prefix(separator.size());
      separatorSeen = true;
    } else {
      break;
    }
  }
  if (digits == 0) return std::nullopt;
  if (!text.empty() && (text.front() == 'e' || text.front() == 'E')) {
    plain += 'e';
    text.remove_prefix(1);
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
      plain += text.front();
      text.remove_prefix(1);
    }
    std::size_t exponentDigits = 0;
    while (!text.empty() && IsDigit(text.front())) {
      plain += text.front();
      text.remove_prefix(1);
      ++exponentDigits;
    }
    if (exponentDigits == 0) return std::nullopt;
  }
  if (!text.empty()) return std::nullopt;

  double value = 0;
  auto const [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
  if (error != std::errc() || end != plain.data() + plain.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

}  // namespace stopwatch
