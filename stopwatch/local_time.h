// A moment on the local wall clock, as a read is stamped with it, together
// with the clock's offset from UTC, and its ISO 8601 text: what the journal
// keeps of when a read was made, whatever the user's formats are.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace stopwatch {

struct LocalDateTime {
  int year = 2000;
  int month = 1;  // 1 to 12
  int day = 1;
  int hour = 0;  // 0 to 23
  int minute = 0;
  int second = 0;
  int utcOffsetMinutes = 0;  // local time less UTC: +180 in Moscow

  // Seconds since 1970-01-01 00:00 UTC, for ordering moments taken under
  // different offsets.
  long long UtcSeconds() const;

  friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

// "2024-05-24T13:45:00+03:00": extended format, seconds, the offset always
// written ("+00:00" for UTC).
std::string FormatIso8601(const LocalDateTime& moment);

// The moment of such a text, also with "Z" for UTC; nothing for any other
// text or for a date or time that does not exist.
std::optional<LocalDateTime> ParseIso8601(std::string_view text);

}  // namespace stopwatch
