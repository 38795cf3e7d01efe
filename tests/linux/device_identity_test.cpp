#include "hid/device_identity.h"

#include <gtest/gtest.h>

namespace {

TEST(DeviceIdentity, HidIdGivesBusVendorAndProduct) {
  const auto id = hid::ParseHidId("0003:000004D8:0000F67A");
  ASSERT_TRUE(id.has_value());
  EXPECT_EQ(id->bus, 3);
  EXPECT_EQ(id->vendor, 0x04D8);
  EXPECT_EQ(id->product, 0xF67A);
  EXPECT_FALSE(hid::ParseHidId("0003:000004D8").has_value());
  EXPECT_FALSE(hid::ParseHidId("0003:000104D8:0000F67A").has_value());  // past 16 bits
  EXPECT_FALSE(hid::ParseHidId("0003:zz:0000F67A").has_value());
  EXPECT_EQ(hid::ParseHex16("0102\n"), 0x0102);
  EXPECT_FALSE(hid::ParseHex16("10000").has_value());
  EXPECT_EQ(hid::ParseDecimal32("12\n"), 12u);
}

TEST(DeviceIdentity, Utf8BecomesUtf16WithMalformedSequencesReplaced) {
  EXPECT_EQ(hid::Utf8ToUtf16("STOP-WATCH \"VORDA-2\""), u"STOP-WATCH \"VORDA-2\"");
  EXPECT_EQ(hid::Utf8ToUtf16("\xD0\xA1\xD0\xB5\xD0\xBA"), u"Сек");
  EXPECT_EQ(hid::Utf8ToUtf16("\xF0\x9F\x98\x80"), std::u16string(u"\xD83D\xDE00"));
  EXPECT_EQ(hid::Utf8ToUtf16("a\xC0\xAFz"), u"a\uFFFDz");       // overlong '/'
  EXPECT_EQ(hid::Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD");        // a surrogate
  EXPECT_EQ(hid::Utf8ToUtf16("\xF4\x90\x80\x80"), u"\uFFFD");    // past U+10FFFF
  EXPECT_EQ(hid::Utf8ToUtf16("ab\xE2\x82"), u"ab\uFFFD");        // cut short at the end
  EXPECT_EQ(hid::Utf8ToUtf16("\xFF" "b"), u"\uFFFDb");
}

TEST(DeviceIdentity, InstanceKeysAreStableAndTellInstancesApart) {
  const std::string plugged = "/sys/devices/pci0000:00/usb1/1-1/1-1:1.0/0003:04D8:F67A.0001/hidraw/hidraw0\n240:0\n1:5";
  const std::string replugged = "/sys/devices/pci0000:00/usb1/1-1/1-1:1.0/0003:04D8:F67A.0002/hidraw/hidraw0\n240:0\n1:6";
  EXPECT_EQ(hid::DeviceInstanceKey(plugged), hid::DeviceInstanceKey(plugged));
  EXPECT_NE(hid::DeviceInstanceKey(plugged), hid::DeviceInstanceKey(replugged));
  EXPECT_NE(hid::DeviceInstanceKey(""), 0u);
}

}  // namespace
