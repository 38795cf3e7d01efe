#include "app/adapters/regional_settings.h"

namespace app {

namespace {

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

std::string RegionalSettings::CurrentDate() { return FormatDate(QDate::currentDate()); }

std::string RegionalSettings::CurrentTime() { return FormatTime(QTime::currentTime()); }

std::string RegionalSettings::DecimalSeparator() { return locale_.decimalPoint().toStdString(); }

std::string RegionalSettings::FormatDate(const QDate& date) const {
  return locale_.toString(date, QLocale::ShortFormat).toStdString();
}

std::string RegionalSettings::FormatTime(const QTime& time) const {
  return locale_.toString(time, LongTimeFormat(locale_)).toStdString();
}

}  // namespace app
