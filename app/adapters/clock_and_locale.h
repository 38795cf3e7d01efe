// The clock and the user's regional settings (the locale), as the read-out
// and the export need them: short date, long time (hours, minutes, seconds), decimal
// separator. Both sides use the same separator, so the export can read back
// what the read-out wrote.
//
// The system's own settings by default; a named locale ("ru-RU", "en-US")
// for the tests. Each platform has its implementation
// (clock_and_locale_qt.cpp, clock_and_locale_windows.cpp).
#pragma once

#include <string>

#include "stopwatch/read_out_ports.h"

namespace app {

struct CalendarDate {
  int year;
  int month;  // 1 to 12
  int day;
};

struct ClockTime {
  int hour;  // 0 to 23
  int minute;
  int second;
};

class ClockAndLocale final : public stopwatch::ClockLocalePort {
 public:
  // The user's settings.
  ClockAndLocale() = default;
  // A named locale, in the system's spelling of "language-REGION".
  explicit ClockAndLocale(std::string localeName) : localeName_(std::move(localeName)) {}

  stopwatch::LocalDateTime Now() override;
  std::string ShortDate(const stopwatch::LocalDateTime& moment) override {
    return FormatDate({moment.year, moment.month, moment.day});
  }
  std::string LongTime(const stopwatch::LocalDateTime& moment) override {
    return FormatTime({moment.hour, moment.minute, moment.second});
  }
  std::string DecimalSeparator() override;

  std::string FormatDate(const CalendarDate& date) const;
  std::string FormatTime(const ClockTime& time) const;

 private:
  std::string localeName_;  // empty: the user's
};

}  // namespace app
