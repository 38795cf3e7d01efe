#include "stopwatch/local_time.h"

#include <charconv>
#include <cstdio>

namespace stopwatch {
namespace {

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
long long DaysFromCivil(int year, int month, int day) {
  year -= month <= 2;
  const long long era = (year >= 0 ? year : year - 399) / 400;
  const long long yearOfEra = year - era * 400;
  const long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

// Exactly `digits` decimal digits at text[at].
bool ReadNumber(std::string_view text, std::size_t at, std::size_t digits, int& value) {
  if (at + digits > text.size()) return false;
  for (std::size_t i = at; i < at + digits; ++i)
    if (text[i] < '0' || text[i] > '9') return false;
  std::from_chars(text.data() + at, text.data() + at + digits, value);
  return true;
}

bool CharAt(std::string_view text, std::size_t at, char c) { return at < text.size() && text[at] == c; }

}  // namespace

long long LocalDateTime::UtcSeconds() const {
  return DaysFromCivil(year, month, day) * 86400 + hour * 3600LL + minute * 60LL + second - utcOffsetMinutes * 60LL;
}

std::string FormatIso8601(const LocalDateTime& m) {
  const int offset = m.utcOffsetMinutes < 0 ? -m.utcOffsetMinutes : m.utcOffsetMinutes;
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", m.year, m.month, m.day, m.hour, m.minute,
                m.second, m.utcOffsetMinutes < 0 ? '-' : '+', offset / 60, offset % 60);
  return text;
}

std::optional<LocalDateTime> ParseIso8601(std::string_view text) {
  LocalDateTime m;
  if (!ReadNumber(text, 0, 4, m.year) || !CharAt(text, 4, '-') || !ReadNumber(text, 5, 2, m.month) ||
      !CharAt(text, 7, '-') || !ReadNumber(text, 8, 2, m.day) || !CharAt(text, 10, 'T') ||
      !ReadNumber(text, 11, 2, m.hour) || !CharAt(text, 13, ':') || !ReadNumber(text, 14, 2, m.minute) ||
      !CharAt(text, 16, ':') || !ReadNumber(text, 17, 2, m.second))
    return std::nullopt;
  if (text.size() == 20 && text[19] == 'Z') {
    m.utcOffsetMinutes = 0;
  } else {
    int hours = 0, minutes = 0;
    if (text.size() != 25 || (text[19] != '+' && text[19] != '-') || !ReadNumber(text, 20, 2, hours) ||
        !CharAt(text, 22, ':') || !ReadNumber(text, 23, 2, minutes) || minutes > 59 || hours > 18)
      return std::nullopt;
    m.utcOffsetMinutes = (text[19] == '-' ? -1 : 1) * (hours * 60 + minutes);
  }
  if (m.month < 1 || m.month > 12 || m.day < 1 || m.day > DaysInMonth(m.year, m.month) || m.hour > 23 ||
      m.minute > 59 || m.second > 59)
    return std::nullopt;
  return m;
}

}  // namespace stopwatch
