#include "hid/device_identity.h"

#include <charconv>

namespace hid {
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

std::u16string Utf8ToUtf16(std::string_view text) {
  constexpr char32_t kReplacement = 0xFFFD;
  std::u16string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    char32_t code = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
      length = 1, code = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      length = 2, code = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3, code = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4, code = lead & 0x07, minimum = 0x10000;
    } else {
      out.push_back(static_cast<char16_t>(kReplacement));
      ++i;
      continue;
    }
    std::size_t taken = 1;
    while (taken < length && i + taken < text.size() &&
           (static_cast<unsigned char>(text[i + taken]) & 0xC0) == 0x80) {
      code = (code << 6) | (static_cast<unsigned char>(text[i + taken]) & 0x3F);
      ++taken;
    }
    i += taken;
    if (taken < length || code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      out.push_back(static_cast<char16_t>(kReplacement));
      continue;
    }
    if (code >= 0x10000) {
      code -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(code));
    }
  }
  return out;
}

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

}  // namespace hid
