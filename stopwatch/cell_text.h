// The text a measurement cell shows, and the number it is read back as.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "stopwatch/exact_time.h"
#include "stopwatch/measurement_table.h"
#include "stopwatch/wire_format.h"

namespace stopwatch {

// Significant digits a cell text carries at most.
inline constexpr int kCellPrecision = 6;

// Fixed-point text of `time` with exactly `decimals` digits after
// `separator`, at most kCellPrecision significant digits and no thousands
// separator. The exact decimal value is rounded half away from zero to
// whichever is fewer: `decimals` fraction digits or kCellPrecision
// significant digits; the fraction is then padded with zeros to `decimals`
// (so 123.4567 with 4 decimals reads 123.4570).
//
// A rounded value with more than kCellPrecision digits before the separator
// cannot be shown that way and is written in exponent form instead: the
// significant digits with trailing zeros dropped, one before the separator,
// then "E" and the decimal exponent without sign or leading zeros
// (1234567.8 -> "1.23457E6", 12000000 -> "1.2E7").
std::string FormatFixed(const ExactTime& time, int decimals, std::string_view separator);

// The cell text for an answer, choosing the decimals by magnitude:
// 100 s or more: 3 decimals under 1000 s, 2 under 10000 s, else 1; the
// increment flag is ignored. Under 100 s: when the flag is exactly 1 the
// buffer's digits are incremented first (see IncrementDigits) and the time
// decoded again; zero shows kEmptyTimeText, anything else 4 decimals (the
// increment can take 99.9999 to 100.0000).
std::string CellTextForAnswer(Answer answer, std::string_view separator);

// The same for an answer as it came, which stays as it is: how a kept read
// is decoded again.
std::string DecodedCellText(const RawAnswer& answer, std::string_view separator);

// The number a cell's text stands for, written with `separator` (a full
// stop when empty), as the export, the statistics and the journal's rows
// read the table back: optional blanks around it, a sign, digits with at
// most one separator, an optional exponent (the exponent form above). None
// for anything else: an empty cell, kEmptyTimeText, "12,3x", a number
// written with another separator, one out of a double's range.
std::optional<double> ParseCellText(std::string_view text, std::string_view separator);

}  // namespace stopwatch
