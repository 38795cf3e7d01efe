#include "stopwatch/identity.h"

#include <gtest/gtest.h>

#include <string>

namespace stopwatch {
namespace {

constexpr std::uint16_t kVendor = 0x04D8;
constexpr std::uint16_t kProduct = 0xF67A;

TEST(StopwatchIdentity, PaddingOfSpacesAndControlCharactersIsIgnored) {
  EXPECT_TRUE(IsStopwatch(u"STOP-WATCH \"VORDA-2\"", kVendor, kProduct));
  EXPECT_TRUE(IsStopwatch(u"  STOP-WATCH \"VORDA-2\"\t\r\n", kVendor, kProduct));
  const std::u16string nulPadded =
      std::u16string(1, u'\0') + u"\x1F STOP-WATCH \"VORDA-2\" " + std::u16string(3, u'\0');
  EXPECT_TRUE(IsStopwatch(nulPadded, kVendor, kProduct));
}

TEST(StopwatchIdentity, AnyOtherProductStringIsRejected) {
  EXPECT_FALSE(IsStopwatch(u"stop-watch \"vorda-2\"", kVendor, kProduct));
  EXPECT_FALSE(IsStopwatch(u"STOP-WATCH  \"VORDA-2\"", kVendor, kProduct));
  EXPECT_FALSE(IsStopwatch(u"STOP-WATCH\t\"VORDA-2\"", kVendor, kProduct));
  EXPECT_FALSE(IsStopwatch(u"STOP-WATCH \"VORDA-2", kVendor, kProduct));
  EXPECT_FALSE(IsStopwatch(u"STOP-WATCH VORDA-2", kVendor, kProduct));
  EXPECT_FALSE(IsStopwatch(u"", kVendor, kProduct));
  // Only code units up to 32 are trimmed: a no-break space or a '!' stays.
  EXPECT_FALSE(IsStopwatch(u"STOP-WATCH \"VORDA-2\"\u00A0", kVendor, kProduct));
  EXPECT_FALSE(IsStopwatch(u"!STOP-WATCH \"VORDA-2\"", kVendor, kProduct));
}

TEST(StopwatchIdentity, VendorAndProductMustBothMatch) {
  EXPECT_FALSE(IsStopwatch(u"STOP-WATCH \"VORDA-2\"", 0x04D9, kProduct));
  EXPECT_FALSE(IsStopwatch(u"STOP-WATCH \"VORDA-2\"", kVendor, 0xF67B));
  EXPECT_FALSE(IsStopwatch(u"STOP-WATCH \"VORDA-2\"", kProduct, kVendor));
}

TEST(StopwatchIdentity, TrimmingKeepsInnerCharacters) {
  EXPECT_EQ(TrimControlAndSpace(u"\x01 a \x02 b \x7F"), u"a \x02 b \x7F");
  EXPECT_EQ(TrimControlAndSpace(u" \t\r\n "), u"");
}

}  // namespace
}  // namespace stopwatch
