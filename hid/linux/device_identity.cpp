#include "hid/linux/device_identity.h"

#include <charconv>

namespace hid::linux_backend {
namespace {

template <typename T>
std::optional<T> ParseNumber(std::string_view text, int base) {
  // sysfs values end with a newline; surrounding blanks are not part of them.
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.remove_suffix(1);
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  T value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

std::optional<HidBusId> ParseHidId(std::string_view text) {
  const auto first = text.find(':');
  if (first == std::string_view::npos) return std::nullopt;
  const auto second = text.find(':', first + 1);
  if (second == std::string_view::npos) return std::nullopt;
  const auto bus = ParseNumber<std::uint32_t>(text.substr(0, first), 16);
  const auto vendor = ParseNumber<std::uint32_t>(text.substr(first + 1, second - first - 1), 16);
  const auto product = ParseNumber<std::uint32_t>(text.substr(second + 1), 16);
  if (!bus || !vendor || !product || *bus > 0xFFFF || *vendor > 0xFFFF || *product > 0xFFFF) return std::nullopt;
  return HidBusId{static_cast<std::uint16_t>(*bus), static_cast<std::uint16_t>(*vendor),
                  static_cast<std::uint16_t>(*product)};
}

std::optional<std::uint16_t> ParseHex16(std::string_view text) {
  const auto value = ParseNumber<std::uint32_t>(text, 16);
  if (!value || *value > 0xFFFF) return std::nullopt;
  return static_cast<std::uint16_t>(*value);
}

std::optional<std::uint32_t> ParseDecimal32(std::string_view text) { return ParseNumber<std::uint32_t>(text, 10); }

std::uint32_t DeviceInstanceKey(std::string_view identity) {
  // 64-bit FNV-1a, folded to the 32 bits a device-node handle has.
  std::uint64_t hash = 0xcbf29ce484222325ull;
  for (const char c : identity) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ull;
  }
  const auto folded = static_cast<std::uint32_t>(hash ^ (hash >> 32));
  return folded == 0 ? 1u : folded;
}

}  // namespace hid::linux_backend
