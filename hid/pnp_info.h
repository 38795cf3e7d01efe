// The plug-and-play record of one HID device interface.
//
// Built once from a device information set, the interface's SP_DEVINFO_DATA
// and its device path; never changes afterwards.
#pragma once

#include <string>
#include <vector>

#include "base/win32_types.h"

class TJvHidPnPInfo {
 public:
  using TStrings = std::vector<std::string>;

  TJvHidPnPInfo(HDEVINFO APnPHandle, const SP_DEVINFO_DATA& ADevData, const char* ADevicePath);
  virtual ~TJvHidPnPInfo() = default;
  TJvHidPnPInfo(const TJvHidPnPInfo&) = delete;
  TJvHidPnPInfo& operator=(const TJvHidPnPInfo&) = delete;

  // The device-node handle; scans match devices by it.
  DWORD DevInst = 0;
  // Every handle of the device is opened by this name.
  std::string DevicePath;

  // The device node's registry properties; a property that cannot be read
  // is 0, empty text or an empty list.
  DWORD Capabilities = 0;
  std::string DeviceClass;
  std::string ClassGuid;
  TStrings CompatibleIds;
  DWORD ConfigFlags = 0;
  std::string DeviceDesc;
  std::string Driver;
  std::string FriendlyName;
  TStrings HardwareIds;
  TStrings LowerFilters;
  std::string Manufacturer;
  TStrings UpperFilters;
  std::string Address;
  DWORD BusNumber = 0;
  std::string BusTypeGuid;
  std::string Characteristics;
  DWORD DevType = 0;
  std::string EnumeratorName;
  DWORD Exclusive = 0;
  DWORD LegacyBusType = 0;
  std::string LocationInformation;
  std::string PhysicalDeviceObjectName;
  std::string SecuritySds;
  std::string Service;
  DWORD UiNumber = 0;
  std::string UiNumberDescFormat;
};

namespace hid {
// The registry property number UiNumberDescFormat is read with. It is 0x1E,
// not the header's SPDRP_UI_NUMBER_DESC_FORMAT (0x1D): records built by this
// layer have always carried what 0x1E yields, and clients may compare them.
inline constexpr DWORD kUiNumberDescFormatProperty = 0x1E;
// Buffer sizes of the registry reads.
inline constexpr DWORD kPropertyTextSize = 1024;
inline constexpr DWORD kPropertyListSize = 16384;
}  // namespace hid
