#include "hid/linux/report_descriptor.h"

#include <algorithm>
#include <array>
#include <vector>

namespace hid::linux_backend {
namespace {

enum ItemType : std::uint8_t { kMain = 0, kGlobal = 1, kLocal = 2, kReserved = 3 };

enum MainTag : std::uint8_t {
  kInput = 0x8,
  kOutput = 0x9,
  kCollection = 0xA,
  kFeature = 0xB,
  kEndCollection = 0xC,
};

enum GlobalTag : std::uint8_t {
  kUsagePage = 0x0,
  kReportSize = 0x7,
  kReportId = 0x8,
  kReportCount = 0x9,
  kPush = 0xA,
  kPop = 0xB,
};

enum LocalTag : std::uint8_t { kUsage = 0x0, kUsageMinimum = 0x1 };

constexpr std::uint8_t kLongItemPrefix = 0xFE;

// The longest report a capability record can express: its length, ID byte
// included, is a 16-bit count of bytes.
constexpr std::uint64_t kMaxReportBits = 0xFFFEull * 8;

struct GlobalState {
  std::uint32_t usage_page = 0;
  std::uint32_t report_size = 0;
  std::uint32_t report_count = 0;
  std::uint32_t report_id = 0;
};

struct LocalState {
  bool has_usage = false;
  std::uint32_t usage = 0;
  bool usage_is_extended = false;  // a 4-byte usage carries its own page

  void Take(std::uint32_t value, std::size_t size) {
    if (has_usage) return;  // the first usage names a collection
    has_usage = true;
    usage = value;
    usage_is_extended = size == 4;
  }
};

std::uint32_t ItemValue(const std::uint8_t* data, std::size_t size) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < size; ++i) value |= static_cast<std::uint32_t>(data[i]) << (8 * i);
  return value;
}

std::uint16_t ByteLength(std::uint64_t bits) {
  if (bits == 0) return 0;
  return static_cast<std::uint16_t>((bits + 7) / 8 + 1);
}

ReportDescriptorResult Fail(std::string why) { return ReportDescriptorResult{std::nullopt, std::move(why)}; }

}  // namespace

ReportDescriptorResult ParseReportDescriptor(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return Fail("empty descriptor");

  // Bits per report ID for input, output and feature reports.
  std::array<std::array<std::uint64_t, 256>, 3> bits{};
  GlobalState global;
  std::vector<GlobalState> global_stack;
  LocalState local;
  std::size_t collection_depth = 0;
  bool top_level_seen = false;
  ReportDescriptorSummary summary;

  std::size_t pos = 0;
  while (pos < bytes.size()) {
    const std::uint8_t prefix = bytes[pos];
    if (prefix == kLongItemPrefix) {
      // Long items carry vendor data no parser interprets; skip them whole.
      if (bytes.size() - pos < 3) return Fail("truncated long item");
      const std::size_t data_size = bytes[pos + 1];
      if (bytes.size() - pos - 3 < data_size) return Fail("truncated long item data");
      pos += 3 + data_size;
      continue;
    }
    const std::size_t size_code = prefix & 0x3u;
    const std::size_t size = size_code == 3 ? 4 : size_code;
    const auto type = static_cast<std::uint8_t>((prefix >> 2) & 0x3u);
    const auto tag = static_cast<std::uint8_t>(prefix >> 4);
    if (bytes.size() - pos - 1 < size) return Fail("truncated item");
    const std::uint32_t value = ItemValue(bytes.data() + pos + 1, size);
    pos += 1 + size;

    switch (type) {
      case kMain: {
        if (tag == kInput || tag == kOutput || tag == kFeature) {
          const int kind = tag == kInput ? 0 : tag == kOutput ? 1 : 2;
          std::uint64_t& total = bits[kind][global.report_id];
          const std::uint64_t added =
              static_cast<std::uint64_t>(global.report_size) * static_cast<std::uint64_t>(global.report_count);
          // Both factors fit 32 bits, so the product fits 64; the running
          // total is checked before it can grow past the limit.
          if (added > kMaxReportBits || total + added > kMaxReportBits) return Fail("report too long");
          total += added;
        } else if (tag == kCollection) {
          if (collection_depth >= kMaxCollectionDepth) return Fail("collections nested too deeply");
          if (collection_depth == 0 && !top_level_seen) {
            top_level_seen = true;
            summary.usage = static_cast<std::uint16_t>(local.usage & 0xFFFFu);
            summary.usage_page = static_cast<std::uint16_t>(local.usage_is_extended ? (local.usage >> 16)
                                                                                    : (global.usage_page & 0xFFFFu));
          }
          ++collection_depth;
          if (summary.collection_count < 0xFFFFu) ++summary.collection_count;
        } else if (tag == kEndCollection) {
          if (collection_depth == 0) return Fail("end of collection without a collection");
          --collection_depth;
        }
        local = LocalState{};  // local items apply to the next main item only
        break;
      }
      case kGlobal:
        switch (tag) {
          case kUsagePage: global.usage_page = value; break;
          case kReportSize: global.report_size = value; break;
          case kReportCount: global.report_count = value; break;
          case kReportId:
            if (value == 0 || value > 255) return Fail("report ID out of range");
            global.report_id = value;
            summary.uses_report_ids = true;
            break;
          case kPush:
            if (global_stack.size() >= kMaxGlobalStackDepth) return Fail("push too deep");
            global_stack.push_back(global);
            break;
          case kPop:
            if (global_stack.empty()) return Fail("pop without push");
            global = global_stack.back();
            global_stack.pop_back();
            break;
          default: break;  // logical and physical ranges, units: not needed for lengths
        }
        break;
      case kLocal:
        if (tag == kUsage || tag == kUsageMinimum) local.Take(value, size);
        break;
      default: break;  // reserved item type: skipped by its size
    }
  }

  std::array<std::uint64_t, 3> longest{};
  for (int kind = 0; kind < 3; ++kind) longest[kind] = *std::max_element(bits[kind].begin(), bits[kind].end());
  summary.input_report_byte_length = ByteLength(longest[0]);
  summary.output_report_byte_length = ByteLength(longest[1]);
  summary.feature_report_byte_length = ByteLength(longest[2]);
  return ReportDescriptorResult{summary, {}};
}

}  // namespace hid::linux_backend
