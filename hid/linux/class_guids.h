// The Windows class GUIDs that the Linux services report, so that callers
// see the same identities on both systems.
#pragma once

#include "base/win32_types.h"

namespace hid::linux_backend {

// The HID device interface class, {4D1E55B2-F16F-11CF-88CB-001111000030}.
inline constexpr GUID kHidInterfaceClassGuid = {
    0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

// The "HIDClass" device setup class.
inline constexpr GUID kHidDeviceClassGuid = {
    0x745A17A0, 0x74D3, 0x11D0, {0xB6, 0xFE, 0x00, 0xA0, 0xC9, 0x0F, 0x57, 0xDA}};
inline constexpr const char* kHidDeviceClassGuidText = "{745a17a0-74d3-11d0-b6fe-00a0c90f57da}";

}  // namespace hid::linux_backend
