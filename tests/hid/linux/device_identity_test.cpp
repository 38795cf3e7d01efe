#include "hid/linux/device_identity.h"

#include <gtest/gtest.h>

namespace {

TEST(DeviceIdentity, HidIdGivesBusVendorAndProduct) {
  const auto id = hid::linux_backend::ParseHidId("0003:000004D8:0000F67A");
  ASSERT_TRUE(id.has_value());
  EXPECT_EQ(id->bus, 3);
  EXPECT_EQ(id->vendor, 0x04D8);
  EXPECT_EQ(id->product, 0xF67A);
  EXPECT_FALSE(hid::linux_backend::ParseHidId("0003:000004D8").has_value());
  EXPECT_FALSE(hid::linux_backend::ParseHidId("0003:000104D8:0000F67A").has_value());  // past 16 bits
  EXPECT_FALSE(hid::linux_backend::ParseHidId("0003:zz:0000F67A").has_value());
  EXPECT_EQ(hid::linux_backend::ParseHex16("0102\n"), 0x0102);
  EXPECT_FALSE(hid::linux_backend::ParseHex16("10000").has_value());
  EXPECT_EQ(hid::linux_backend::ParseDecimal32("12\n"), 12u);
}

TEST(DeviceIdentity, InstanceKeysAreStableAndTellInstancesApart) {
  const std::string plugged = "/sys/devices/pci0000:00/usb1/1-1/1-1:1.0/0003:04D8:F67A.0001/hidraw/hidraw0\n240:0\n1:5";
  const std::string replugged =
      "/sys/devices/pci0000:00/usb1/1-1/1-1:1.0/0003:04D8:F67A.0002/hidraw/hidraw0\n240:0\n1:6";
  EXPECT_EQ(hid::linux_backend::DeviceInstanceKey(plugged), hid::linux_backend::DeviceInstanceKey(plugged));
  EXPECT_NE(hid::linux_backend::DeviceInstanceKey(plugged), hid::linux_backend::DeviceInstanceKey(replugged));
  EXPECT_NE(hid::linux_backend::DeviceInstanceKey(""), 0u);
}

}  // namespace
