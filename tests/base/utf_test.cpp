#include "base/utf.h"

#include <gtest/gtest.h>

namespace {

TEST(Utf, WellFormedTextConvertsBothWays) {
  const std::string mixed = "STOP-WATCH \"VORDA-2\" Секундомер \xF0\x9F\x98\x80";
  const std::u16string wide = base::Utf8ToUtf16(mixed);
  EXPECT_EQ(wide.substr(0, 21), u"STOP-WATCH \"VORDA-2\" ");
  EXPECT_EQ(wide.substr(21, 10), u"Секундомер");
  EXPECT_EQ(wide.substr(32), std::u16string(u"\xD83D\xDE00"));
  EXPECT_EQ(base::Utf8ToUtf16Strict(mixed), wide);
  EXPECT_EQ(base::Utf16ToUtf8(wide), mixed);
}

TEST(Utf, IllFormedPartsAreReplacedOnceEachOrRefusedWhenStrict) {
  const struct {
    const char* text;
    std::u16string replaced;
  } cases[] = {
      {"a\xC0\xAFz", u"a\uFFFDz"},        // overlong '/'
      {"\xED\xA0\x80", u"\uFFFD"},        // a surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD"},    // past U+10FFFF
      {"ab\xE2\x82", u"ab\uFFFD"},        // cut short at the end
      {"a\xD0z\xFF", u"a\uFFFDz\uFFFD"},  // lead without its continuation; a byte no UTF-8 has
      {"\x80"
       "b",
       u"\uFFFDb"},  // a stray continuation byte
  };
  for (const auto& c : cases) {
    EXPECT_EQ(base::Utf8ToUtf16(c.text), c.replaced) << c.text;
    EXPECT_FALSE(base::Utf8ToUtf16Strict(c.text).has_value()) << c.text;
  }
  EXPECT_EQ(base::Utf16ToUtf8(std::u16string{char16_t(0xD800), u'x'}), "\xEF\xBF\xBDx");  // unpaired
  EXPECT_EQ(base::Utf16ToUtf8(std::u16string{char16_t(0xDC00)}), "\xEF\xBF\xBD");
}

}  // namespace
