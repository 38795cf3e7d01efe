// The user's regional settings and the clock, as the read-out and the export
// need them: short date, long time (hours, minutes, seconds), decimal
// separator. Both sides use the same separator, so the export can read back
// what the read-out wrote.
#pragma once

#include <QDateTime>
#include <QLocale>
#include <string>

#include "stopwatch/read_out_ports.h"

namespace app {

class RegionalSettings final : public stopwatch::ClockLocalePort {
 public:
  explicit RegionalSettings(QLocale locale = QLocale::system()) : locale_(std::move(locale)) {}

  std::string CurrentDate() override;
  std::string CurrentTime() override;
  std::string DecimalSeparator() override;

  std::string FormatDate(const QDate& date) const;
  std::string FormatTime(const QTime& time) const;

 private:
  QLocale locale_;
};

}  // namespace app
