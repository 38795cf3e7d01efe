#include "hid/linux/report_descriptor.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/hid/linux/descriptors.h"
#include "tools/vorda2-emulator/virtual_stopwatch.h"

namespace {

using hid::linux_backend::ParseReportDescriptor;
using Bytes = std::vector<std::uint8_t>;

hid::linux_backend::ReportDescriptorSummary Parsed(const Bytes& bytes) {
  const auto result = ParseReportDescriptor(bytes);
  EXPECT_TRUE(result.summary.has_value()) << result.error;
  return result.summary.value_or(hid::linux_backend::ReportDescriptorSummary{});
}

TEST(ReportDescriptor, KnownDevicesGiveTheirReportLengthsAndTopLevelUsage) {
  const auto stopwatch = Parsed(lumetra::emulator::kStopwatchReportDescriptor);
  EXPECT_EQ(stopwatch.input_report_byte_length, 11);
  EXPECT_EQ(stopwatch.output_report_byte_length, 2);
  EXPECT_EQ(stopwatch.feature_report_byte_length, 0);
  EXPECT_EQ(stopwatch.usage_page, 0xFF00);
  EXPECT_EQ(stopwatch.usage, 1);
  EXPECT_FALSE(stopwatch.uses_report_ids);

  const auto keyboard = Parsed(lumetra::test::kKeyboardDescriptor);
  EXPECT_EQ(keyboard.input_report_byte_length, 9);
  EXPECT_EQ(keyboard.output_report_byte_length, 2);
  EXPECT_EQ(keyboard.usage_page, 1);
  EXPECT_EQ(keyboard.usage, 6);

  // The longest report over all IDs, plus the ID byte.
  const auto numbered = Parsed(lumetra::test::kNumberedDescriptor);
  EXPECT_TRUE(numbered.uses_report_ids);
  EXPECT_EQ(numbered.input_report_byte_length, 8);
  EXPECT_EQ(numbered.output_report_byte_length, 0);
  EXPECT_EQ(numbered.feature_report_byte_length, 3);
}

TEST(ReportDescriptor, PartialBytesRoundUpAndOnlyTheFirstTopLevelCollectionNamesTheUsage) {
  const Bytes bytes = {
      0x05, 0x01, 0x09, 0x02, 0xA1, 0x01,                    // mouse
      0xA1, 0x00, 0x75, 0x01, 0x95, 0x03, 0x81, 0x02, 0xC0,  // 3 bits in a nested collection
      0xC0, 0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01,              // a second top-level collection
      0x75, 0x10, 0x95, 0x01, 0x81, 0x02,                    // 16 more bits: 19 in all
      0xC0,
  };
  const auto summary = Parsed(bytes);
  EXPECT_EQ(summary.input_report_byte_length, 1 + 3);
  EXPECT_EQ(summary.usage_page, 1);
  EXPECT_EQ(summary.usage, 2);
  EXPECT_EQ(summary.collection_count, 3);
}

TEST(ReportDescriptor, ExtendedUsagePushPopAndLongItems) {
  const Bytes bytes = {
      0x05, 0x01,                    // usage page 1, overridden by the extended usage
      0x0B, 0x05, 0x00, 0x0C, 0x00,  // Usage (page 0x000C, usage 5), 4 bytes
      0xA1, 0x01, 0x75, 0x08, 0x95, 0x02,
      0xA4,  // Push (size 8, count 2)
      0x75, 0x04, 0x95, 0x01,
      0xB4,                          // Pop: back to 8 x 2
      0xFE, 0x02, 0x10, 0x91, 0x91,  // a long item whose data look like Output items
      0x81, 0x02,                    // 16 bits of input
      0xC0,
  };
  const auto summary = Parsed(bytes);
  EXPECT_EQ(summary.usage_page, 0x000C);
  EXPECT_EQ(summary.usage, 5);
  EXPECT_EQ(summary.input_report_byte_length, 3);
  EXPECT_EQ(summary.output_report_byte_length, 0);
}

TEST(ReportDescriptor, MalformedInputIsRejected) {
  const std::vector<std::pair<const char*, Bytes>> cases = {
      {"empty", {}},
      {"item cut short", {0x05, 0x01, 0x26, 0xFF}},
      {"four-byte item cut short", {0x27, 0x01, 0x02, 0x03}},
      {"long item header cut short", {0xFE, 0x05}},
      {"long item data cut short", {0xFE, 0x05, 0x00, 0x01, 0x02}},
      {"pop without push", {0xB4}},
      {"end collection without collection", {0xC0}},
      {"report ID 0", {0x85, 0x00}},
      {"report ID past 255", {0x86, 0x00, 0x01}},
      // 0xFFFFFFFF x 0xFFFFFFFF bits: must not wrap to something small.
      {"huge report", {0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0x97, 0xFF, 0xFF, 0xFF, 0xFF, 0x81, 0x02}},
      // Two 32 KiB inputs in one report: past what a 16-bit length holds.
      {"report past 64 KiB", {0x75, 0x08, 0x96, 0x00, 0x80, 0x81, 0x02, 0x81, 0x02}},
  };
  for (const auto& [name, bytes] : cases) {
    const auto result = ParseReportDescriptor(bytes);
    EXPECT_FALSE(result.summary.has_value()) << name;
    EXPECT_FALSE(result.error.empty()) << name;
  }
}

TEST(ReportDescriptor, NestingAndPushDepthAreBounded) {
  Bytes pushes(hid::linux_backend::kMaxGlobalStackDepth, 0xA4);
  EXPECT_TRUE(ParseReportDescriptor(pushes).summary.has_value());
  pushes.push_back(0xA4);
  EXPECT_FALSE(ParseReportDescriptor(pushes).summary.has_value());

  Bytes nested;
  for (std::size_t i = 0; i <= hid::linux_backend::kMaxCollectionDepth; ++i) nested.insert(nested.end(), {0xA1, 0x00});
  EXPECT_FALSE(ParseReportDescriptor(nested).summary.has_value());
  nested.resize(2 * hid::linux_backend::kMaxCollectionDepth);
  EXPECT_TRUE(ParseReportDescriptor(nested).summary.has_value());  // unclosed at the end is tolerated
}

TEST(ReportDescriptor, EveryTruncationOfARealDescriptorIsSafe) {
  // Cutting a valid descriptor anywhere either parses (at an item boundary)
  // or fails; never reads past the cut.
  const Bytes& full = lumetra::test::kKeyboardDescriptor;
  for (std::size_t cut = 1; cut < full.size(); ++cut) {
    const Bytes prefix(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(cut));
    const auto result = ParseReportDescriptor(prefix);
    if (result.summary) {
      EXPECT_LE(result.summary->input_report_byte_length, 9) << cut;
    }
  }
}

}  // namespace
