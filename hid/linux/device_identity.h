// Text forms of a HID device's identity, as the Linux kernel and udev give
// them, turned into what the Windows-shaped services return. Pure functions:
// no system access, so they are tested directly.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace hid::linux_backend {

struct HidBusId {
  std::uint16_t bus = 0;
  std::uint16_t vendor = 0;
  std::uint16_t product = 0;
};

// The kernel's HID_ID property, "BBBB:VVVVVVVV:PPPPPPPP" in hex. Vendor and
// product are 32-bit fields in the text but 16-bit on the wire; larger values
// are rejected.
std::optional<HidBusId> ParseHidId(std::string_view text);

// A hexadecimal sysfs attribute such as bcdDevice ("0102"), at most 16 bits.
std::optional<std::uint16_t> ParseHex16(std::string_view text);

// A decimal sysfs attribute such as busnum.
std::optional<std::uint32_t> ParseDecimal32(std::string_view text);

// The device-node key that tells device instances apart: the same inputs
// give the same value, and any change in them gives another value except
// by a 1-in-2^32 chance. Never 0, which no device node has.
std::uint32_t DeviceInstanceKey(std::string_view identity);

}  // namespace hid::linux_backend
