#include "stopwatch/identity.h"

namespace stopwatch {

std::u16string_view TrimControlAndSpace(std::u16string_view text) {
  while (!text.empty() && text.front() <= u' ') text.remove_prefix(1);
  while (!text.empty() && text.back() <= u' ') text.remove_suffix(1);
  return text;
}

bool IsStopwatch(std::u16string_view productString, std::uint16_t vendorId, std::uint16_t productId) {
  if (TrimControlAndSpace(productString) != kProductString) return false;
  if (vendorId != kVendorId) return false;
  return productId == kProductId;
}

}  // namespace stopwatch
