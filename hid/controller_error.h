// The one exception the HID layer raises: a device object cannot be made.
#pragma once

#include <stdexcept>
#include <string>

class EControllerError : public std::runtime_error {
 public:
  explicit EControllerError(const std::string& Message) : std::runtime_error(Message) {}
  std::string Message() const { return what(); }
};

namespace hid {
inline constexpr const char* kDeviceCannotBeOpened = "Device cannot be opened";
inline constexpr const char* kDeviceCannotBeIdentified = "Device cannot be identified";
}  // namespace hid
