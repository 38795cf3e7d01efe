// Attributes, product strings and capabilities through device handles.
#include <cstring>

#include "tests/hid/linux/backend_fixture.h"

namespace lumetra::test {
namespace {

class HidServicesTest : public BackendTest {
 protected:
  HIDP_CAPS CapsOf(HANDLE handle) {
    HIDP_CAPS caps{};
    PHIDP_PREPARSED_DATA data = nullptr;
    EXPECT_TRUE(table_.hid.HidD_GetPreparsedData(handle, &data));
    EXPECT_EQ(table_.hid.HidP_GetCaps(data, &caps), HIDP_STATUS_SUCCESS);
    EXPECT_TRUE(table_.hid.HidD_FreePreparsedData(data));
    return caps;
  }
};

TEST_F(HidServicesTest, AttributesComeFromHidIdAndTheUsbReleaseNumber) {
  auto stopwatch = testbed_.Plug(StopwatchSpec());
  auto numbered = testbed_.Plug(NumberedSpec());
  HANDLE handle = Open(stopwatch->Node());
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  HIDD_ATTRIBUTES attributes{};
  ASSERT_TRUE(table_.hid.HidD_GetAttributes(handle, &attributes));
  EXPECT_EQ(attributes.Size, sizeof attributes);
  EXPECT_EQ(attributes.VendorID, 0x04D8);
  EXPECT_EQ(attributes.ProductID, 0xF67A);
  EXPECT_EQ(attributes.VersionNumber, 0x0102);
  EXPECT_TRUE(table_.file.CloseHandle(handle));

  handle = Open(numbered->Node());
  ASSERT_TRUE(table_.hid.HidD_GetAttributes(handle, &attributes));
  EXPECT_EQ(attributes.VendorID, 0x1234);
  EXPECT_EQ(attributes.VersionNumber, 0);  // no USB parent, no release number
  EXPECT_TRUE(table_.file.CloseHandle(handle));

  EXPECT_FALSE(table_.hid.HidD_GetAttributes(handle, &attributes));  // closed
  EXPECT_EQ(table_.file.GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(HidServicesTest, ProductStringIsUtf16AndMustFitTheBuffer) {
  auto stopwatch = testbed_.Plug(StopwatchSpec());
  HANDLE handle = Open(stopwatch->Node());
  const std::u16string expected = u"STOP-WATCH \"VORDA-2\"";
  char16_t buffer[254];
  std::fill(std::begin(buffer), std::end(buffer), u'#');
  ASSERT_TRUE(table_.hid.HidD_GetProductString(handle, buffer, sizeof buffer));
  EXPECT_EQ(std::u16string(buffer), expected);

  // Exactly the text: it fits, without the terminator.
  std::fill(std::begin(buffer), std::end(buffer), u'#');
  const ULONG exact = static_cast<ULONG>(expected.size() * 2);
  ASSERT_TRUE(table_.hid.HidD_GetProductString(handle, buffer, exact));
  EXPECT_EQ(std::u16string(buffer, expected.size()), expected);
  EXPECT_EQ(buffer[expected.size()], u'#');

  // One byte short: refused, nothing written.
  std::fill(std::begin(buffer), std::end(buffer), u'#');
  EXPECT_FALSE(table_.hid.HidD_GetProductString(handle, buffer, exact - 1));
  EXPECT_EQ(table_.file.GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(buffer[0], u'#');
  table_.file.CloseHandle(handle);
}

TEST_F(HidServicesTest, ProductStringFallsBackToHidNameOffUsbButNotForAUsbDeviceWithoutOne) {
  auto numbered = testbed_.Plug(NumberedSpec());
  auto spec = KeyboardSpec();
  spec.product_string.clear();
  auto nameless = testbed_.Plug(spec);
  char16_t buffer[64] = {};
  HANDLE handle = Open(numbered->Node());
  ASSERT_TRUE(table_.hid.HidD_GetProductString(handle, buffer, sizeof buffer));
  EXPECT_EQ(std::u16string(buffer), u"Numbered Gadget");
  table_.file.CloseHandle(handle);
  handle = Open(nameless->Node());
  EXPECT_FALSE(table_.hid.HidD_GetProductString(handle, buffer, sizeof buffer));
  table_.file.CloseHandle(handle);
}

TEST_F(HidServicesTest, CapsComeFromTheReportDescriptor) {
  auto stopwatch = testbed_.Plug(StopwatchSpec());
  auto keyboard = testbed_.Plug(KeyboardSpec());
  auto numbered = testbed_.Plug(NumberedSpec());
  struct Expected {
    std::string node;
    USHORT page, usage, input, output, feature;
  };
  const Expected cases[] = {
      {stopwatch->Node(), 0xFF00, 1, 11, 2, 0},
      {keyboard->Node(), 1, 6, 9, 2, 0},
      {numbered->Node(), 0xFF00, 2, 8, 0, 3},
  };
  for (const Expected& e : cases) {
    HANDLE handle = Open(e.node);
    const HIDP_CAPS caps = CapsOf(handle);
    EXPECT_EQ(caps.UsagePage, e.page) << e.node;
    EXPECT_EQ(caps.Usage, e.usage) << e.node;
    EXPECT_EQ(caps.InputReportByteLength, e.input) << e.node;
    EXPECT_EQ(caps.OutputReportByteLength, e.output) << e.node;
    EXPECT_EQ(caps.FeatureReportByteLength, e.feature) << e.node;
    table_.file.CloseHandle(handle);
  }
}

TEST_F(HidServicesTest, PreparsedDataIsRefusedOnceFreedOrWhenForeign) {
  auto stopwatch = testbed_.Plug(StopwatchSpec());
  HANDLE handle = Open(stopwatch->Node());
  PHIDP_PREPARSED_DATA data = nullptr;
  ASSERT_TRUE(table_.hid.HidD_GetPreparsedData(handle, &data));
  EXPECT_TRUE(table_.hid.HidD_FreePreparsedData(data));
  EXPECT_FALSE(table_.hid.HidD_FreePreparsedData(data));
  HIDP_CAPS caps{};
  EXPECT_EQ(table_.hid.HidP_GetCaps(data, &caps), HIDP_STATUS_INVALID_PREPARSED_DATA);
  int foreign = 0;
  EXPECT_EQ(table_.hid.HidP_GetCaps(reinterpret_cast<PHIDP_PREPARSED_DATA>(&foreign), &caps),
            HIDP_STATUS_INVALID_PREPARSED_DATA);
  table_.file.CloseHandle(handle);
}

TEST_F(HidServicesTest, HidGuidIsTheWindowsHidInterfaceClass) {
  GUID guid{};
  table_.hid.HidD_GetHidGuid(&guid);
  EXPECT_EQ(guid.Data1, 0x4D1E55B2u);
  EXPECT_EQ(guid.Data2, 0xF16F);
  EXPECT_EQ(guid.Data3, 0x11CF);
  const BYTE tail[8] = {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30};
  EXPECT_EQ(std::memcmp(guid.Data4, tail, 8), 0);
}

}  // namespace
}  // namespace lumetra::test
