// Matching without regard to the case of ASCII letters, whatever the
// locale: names in automation calls (programmatic identifiers, member names,
// the words "true" and "false" in texts), as the system's COM matches them,
// and file name extensions. Every other character must be the same.
#pragma once

#include <algorithm>
#include <string_view>

namespace base {

template <typename Char>
constexpr Char LowerAscii(Char c) {
  return c >= Char('A') && c <= Char('Z') ? static_cast<Char>(c - Char('A') + Char('a')) : c;
}

inline bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

}  // namespace base
