// A parser for HID report descriptors.
//
// Computes what the capability query gives a client: the byte lengths of the
// longest input, output and feature report, and the usage page and usage of
// the first top-level collection. Lengths follow the Windows convention: the
// longest report of a kind over all report IDs, rounded up to whole bytes,
// plus one byte for the report ID (which Windows counts even when the device
// does not number its reports); 0 when the descriptor declares no report of
// that kind.
//
// The bytes come from the device and are not trusted: the parser never reads
// past the end, bounds every count it accumulates and fails on input that a
// HID parser must reject rather than guess at.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace hid::linux_backend {

struct ReportDescriptorSummary {
  std::uint16_t usage_page = 0;  // of the first top-level collection
  std::uint16_t usage = 0;
  std::uint16_t input_report_byte_length = 0;
  std::uint16_t output_report_byte_length = 0;
  std::uint16_t feature_report_byte_length = 0;
  // True when the descriptor declares report IDs: reports then start with
  // their ID byte on the wire; otherwise the wire carries data only.
  bool uses_report_ids = false;
  std::uint16_t collection_count = 0;
};

struct ReportDescriptorResult {
  std::optional<ReportDescriptorSummary> summary;  // empty on failure
  std::string error;                               // why it failed
};

// Limits that keep a hostile descriptor from exhausting anything.
constexpr std::size_t kMaxGlobalStackDepth = 16;
constexpr std::size_t kMaxCollectionDepth = 64;

ReportDescriptorResult ParseReportDescriptor(std::span<const std::uint8_t> bytes);

}  // namespace hid::linux_backend
