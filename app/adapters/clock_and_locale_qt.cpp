// The clock and the regional settings through Qt's view of the user's locale.
#include <QDateTime>
#include <QLocale>

#include "app/adapters/clock_and_locale.h"

namespace app {

namespace {

QLocale MakeLocale(const std::string& name) {
  if (name.empty()) return QLocale::system();
  return QLocale(QString::fromStdString(name).replace(u'-', u'_'));
}

// The locale of the last name asked for: making one is costly, and the
// journal window formats thousands of dates at a time. The system's does
// not change while the program runs.
const QLocale& LocaleOf(const std::string& name) {
  thread_local std::string cachedName;
  thread_local QLocale cached = MakeLocale(name);
  if (name != cachedName) {
    cached = MakeLocale(name);
    cachedName = name;
  }
  return cached;
}

// The locale's long time format, without the time-zone field that Qt adds
// to it: the status line shows the wall-clock time only.
QString LongTimeFormat(const QLocale& locale) {
  QString format = locale.timeFormat(QLocale::LongFormat);
  QString result;
  bool quoted = false;
  for (const QChar c : format) {
    if (c == u'\'') quoted = !quoted;
    if (!quoted && c == u't') continue;
    result += c;
  }
  return result.trimmed();
}

}  // namespace

stopwatch::LocalDateTime ClockAndLocale::Now() {
  const QDateTime now = QDateTime::currentDateTime();
  const QDate date = now.date();
  const QTime time = now.time();
  return {date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second(), now.offsetFromUtc() / 60};
}

std::string ClockAndLocale::DecimalSeparator() { return LocaleOf(localeName_).decimalPoint().toStdString(); }

std::string ClockAndLocale::FormatDate(const CalendarDate& date) const {
  return LocaleOf(localeName_).toString(QDate(date.year, date.month, date.day), QLocale::ShortFormat).toStdString();
}

std::string ClockAndLocale::FormatTime(const ClockTime& time) const {
  const QLocale& locale = LocaleOf(localeName_);
  thread_local QString formatOf;  // for the locale cached last
  thread_local QString format;
  if (formatOf != locale.name() || format.isEmpty()) {
    format = LongTimeFormat(locale);
    formatOf = locale.name();
  }
  return locale.toString(QTime(time.hour, time.minute, time.second), format).toStdString();
}

}  // namespace app
