// libFuzzer target for the report-descriptor parser: any byte string must
// parse or fail without reading out of bounds, hanging or overflowing, and
// a parsed result must be one a capability record can hold.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "hid/linux/report_descriptor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto result = hid::linux_backend::ParseReportDescriptor(std::span<const std::uint8_t>(data, size));
  if (result.summary) {
    const auto& s = *result.summary;
    // A length is 0 (no report of that kind) or at least 2: one data byte
    // and the ID byte.
    for (const unsigned length :
         {s.input_report_byte_length, s.output_report_byte_length, s.feature_report_byte_length}) {
      if (length == 1) std::abort();
    }
    if (size == 0) std::abort();
  } else if (result.error.empty()) {
    std::abort();
  }
  return 0;
}
