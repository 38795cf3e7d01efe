// The measurements the end-to-end tests have the emulator play
// (tests/emulator/sample-times.txt), and what each slot must show after a
// read-out, written out by hand. Shared by the Linux and the Windows runs,
// which must show the same table.
#pragma once

#include <algorithm>
#include <istream>
#include <iterator>
#include <string>
#include <vector>

namespace e2e {

// A line of the times file and the cell text it gives ('.' standing for the
// regional decimal separator). Slots after the last line hold 0 and show
// "------".
struct Measurement {
  const char* line;
  const char* shown;
};
inline constexpr Measurement kExpected[] = {
    {"12.3456", "12.3456"},
    {"12.3456 1", "12.3457"},   // the increment flag adds one unit under 100 s
    {"99.9999 1", "100.0000"},  // and may carry the time to 100 s, still with 4 decimals
    {"0 1", "0.0001"},
    {"0", "------"},
    {"100", "100.000"},  // 3 decimals from 100 s
    {"1000", "1000.00"},
    {"10000", "10000.0"},
    {"99999.9999", "100000.0"},                       // six significant digits, rounded up
    {"00 00 00 00 00 12 00 00 00 00", "180.000"},     // a digit byte of 18 reads as "18"
    {"00 06 05 04 03 02 01 00 00 00 00", "12.3456"},  // with the report-ID byte
    {"0.0001", "0.0001"},
};

// Whether the times file holds exactly the measurement lines of the table
// (blank lines and comments aside), so that a changed file fails loudly
// rather than being compared with the wrong values.
inline bool TimesFileMatches(std::istream& in) {
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line.front() != '#') lines.push_back(line);
  }
  return std::equal(lines.begin(), lines.end(), std::begin(kExpected), std::end(kExpected),
                    [](const std::string& line, const Measurement& m) { return line == m.line; });
}

// What slot `slot` (0 to 83) must show with this decimal separator.
inline std::string ExpectedCellText(int slot, const std::string& separator) {
  if (slot >= static_cast<int>(std::size(kExpected))) return "------";
  std::string text = kExpected[slot].shown;
  const auto dot = text.find('.');
  if (dot != std::string::npos) text.replace(dot, 1, separator);
  return text;
}

}  // namespace e2e
