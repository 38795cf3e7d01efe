// The texts the read-out stamps come from the regional settings.
#include <gtest/gtest.h>

#include "app/adapters/clock_and_locale.h"

namespace {

TEST(ClockAndLocale, DecimalSeparatorAndClockTextsFollowTheLocale) {
  app::ClockAndLocale russian("ru-RU");
  app::ClockAndLocale american("en-US");
  EXPECT_EQ(russian.DecimalSeparator(), ",");
  EXPECT_EQ(american.DecimalSeparator(), ".");

  EXPECT_EQ(russian.FormatDate({2026, 12, 8}), "08.12.2026");
  // Long time: hours, minutes and seconds, and no time-zone name.
  EXPECT_EQ(russian.FormatTime({9, 5, 7}), "09:05:07");
  const std::string us = american.FormatTime({21, 5, 7});
  EXPECT_NE(us.find("9:05:07"), std::string::npos) << us;
  EXPECT_EQ(us.find("UTC"), std::string::npos) << us;
}

}  // namespace
