// Expected record bytes for the tests of the .xls writer's parts, written as
// hex text the way format descriptions show them, and a comparison that
// names the first byte that differs.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string_view>
#include <vector>

namespace spreadsheet::testing {

using Bytes = std::vector<std::uint8_t>;

// Pairs of hex digits; blanks between them are ignored.
inline Bytes Hex(std::string_view text) {
  Bytes bytes;
  int high = -1;
  for (char c : text) {
    if (c == ' ') continue;
    const int digit = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
    if (high < 0) {
      high = digit;
    } else {
      bytes.push_back(static_cast<std::uint8_t>(high << 4 | digit));
      high = -1;
    }
  }
  return bytes;
}

inline Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes joined;
  for (const Bytes& part : parts) joined.insert(joined.end(), part.begin(), part.end());
  return joined;
}

inline Bytes Repeated(const Bytes& unit, std::size_t count) {
  Bytes repeated;
  for (std::size_t i = 0; i < count; ++i) repeated.insert(repeated.end(), unit.begin(), unit.end());
  return repeated;
}

// A whole record: its type and length, then its data.
inline Bytes Record(std::uint16_t type, const Bytes& data) {
  const auto size = static_cast<std::uint16_t>(data.size());
  return Join({{static_cast<std::uint8_t>(type), static_cast<std::uint8_t>(type >> 8), static_cast<std::uint8_t>(size),
                static_cast<std::uint8_t>(size >> 8)},
               data});
}

inline ::testing::AssertionResult SameBytes(const Bytes& actual, const Bytes& expected) {
  std::size_t at = 0;
  while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
  if (at == actual.size() && at == expected.size()) return ::testing::AssertionSuccess();
  auto result = ::testing::AssertionFailure() << actual.size() << " bytes written, " << expected.size()
                                              << " expected; first difference at byte " << at;
  if (at < actual.size() && at < expected.size()) {
    // Each << starts a fresh message inside the result, so std::hex would not carry over.
    char bytes[32];
    std::snprintf(bytes, sizeof bytes, ": 0x%02X instead of 0x%02X", actual[at], expected[at]);
    result << bytes;
  }
  return result;
}

}  // namespace spreadsheet::testing
