// The clock and the regional settings through the system's locale services: the user's
// settings (LOCALE_NAME_USER_DEFAULT) or a named locale ("ru-RU").
#include <string>

#include "app/adapters/clock_and_locale.h"
#include "app/kit/windows/native.h"

namespace app {
namespace {

std::wstring LocaleName(const std::string& name) { return name.empty() ? std::wstring() : kit::win::Wide(name); }

const wchar_t* LocaleOrUser(const std::wstring& name) { return name.empty() ? LOCALE_NAME_USER_DEFAULT : name.c_str(); }

SYSTEMTIME DateOnly(const CalendarDate& date) {
  SYSTEMTIME time{};
  time.wYear = static_cast<WORD>(date.year);
  time.wMonth = static_cast<WORD>(date.month);
  time.wDay = static_cast<WORD>(date.day);
  return time;
}

SYSTEMTIME TimeOnly(const ClockTime& clock) {
  // A valid date for the time formatter, which checks the whole record.
  SYSTEMTIME time{};
  time.wYear = 2000;
  time.wMonth = 1;
  time.wDay = 1;
  time.wHour = static_cast<WORD>(clock.hour);
  time.wMinute = static_cast<WORD>(clock.minute);
  time.wSecond = static_cast<WORD>(clock.second);
  return time;
}

}  // namespace

stopwatch::LocalDateTime ClockAndLocale::Now() {
  // The local time of the one UTC moment, and the offset between the two.
  SYSTEMTIME utc, local;
  ::GetSystemTime(&utc);
  if (!::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) local = utc;
  FILETIME utcFile, localFile;
  ::SystemTimeToFileTime(&utc, &utcFile);
  ::SystemTimeToFileTime(&local, &localFile);
  const auto ticks = [](const FILETIME& t) {
    return (static_cast<long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  // FILETIME counts 100-nanosecond ticks.
  const long long offsetMinutes = (ticks(localFile) - ticks(utcFile)) / 600'000'000LL;
  return {local.wYear,
          local.wMonth,
          local.wDay,
          local.wHour,
          local.wMinute,
          local.wSecond,
          static_cast<int>(offsetMinutes)};
}

std::string ClockAndLocale::DecimalSeparator() {
  const std::wstring locale = LocaleName(localeName_);
  wchar_t separator[8] = {};
  if (::GetLocaleInfoEx(LocaleOrUser(locale), LOCALE_SDECIMAL, separator, 8) <= 0) return ".";
  return kit::win::Narrow(separator);
}

std::string ClockAndLocale::FormatDate(const CalendarDate& date) const {
  const std::wstring locale = LocaleName(localeName_);
  const SYSTEMTIME time = DateOnly(date);
  wchar_t text[128] = {};
  if (::GetDateFormatEx(LocaleOrUser(locale), DATE_SHORTDATE, &time, nullptr, text, 128, nullptr) <= 0) return {};
  return kit::win::Narrow(text);
}

std::string ClockAndLocale::FormatTime(const ClockTime& clock) const {
  const std::wstring locale = LocaleName(localeName_);
  const SYSTEMTIME time = TimeOnly(clock);
  wchar_t text[128] = {};
  // No flags and no format: the locale's long time format, with seconds.
  if (::GetTimeFormatEx(LocaleOrUser(locale), 0, &time, nullptr, text, 128) <= 0) return {};
  return kit::win::Narrow(text);
}

}  // namespace app
