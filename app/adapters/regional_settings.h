// The user's regional settings and the clock, as the read-out and the export
// need them: short date, long time (hours, minutes, seconds), decimal
// separator. Both sides use the same separator, so the export can read back
// what the read-out wrote.
//
// The system's own settings by default; a named locale ("ru-RU", "en-US")
// for the tests. Each platform has its implementation
// (regional_settings_qt.cpp, regional_settings_windows.cpp).
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

class RegionalSettings final : public stopwatch::ClockLocalePort {
 public:
  // The user's settings.
  RegionalSettings() = default;
  // A named locale, in the system's spelling of "language-REGION".
  explicit RegionalSettings(std::string localeName) : localeName_(std::move(localeName)) {}

  std::string CurrentDate() override;
  std::string CurrentTime() override;
  std::string DecimalSeparator() override;

  std::string FormatDate(const CalendarDate& date) const;
  std::string FormatTime(const ClockTime& time) const;

 private:
  std::string localeName_;  // empty: the user's
};

}  // namespace app
