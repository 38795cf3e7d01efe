#include "hid/pnp_info.h"

#include <cstring>

#include "hid/service_table.h"

namespace {

// Reads one registry property into the caller's cleared buffer; the call's
// result is not looked at, a failed call leaves the buffer as it was.
void ReadProperty(HDEVINFO set, SP_DEVINFO_DATA& data, DWORD property, BYTE* buffer, DWORD size) {
  auto query = hid::Services().setup.SetupDiGetDeviceRegistryPropertyA;
  if (query == nullptr) return;
  DWORD regType = 0;
  DWORD required = 0;
  query(set, &data, property, &regType, buffer, size, &required);
}

std::string ReadText(HDEVINFO set, SP_DEVINFO_DATA& data, DWORD property) {
  // Cleared whole: a value that carries no zero of its own (binary data read
  // as text) ends where the service stopped writing.
  char buffer[hid::kPropertyTextSize] = {};
  ReadProperty(set, data, property, reinterpret_cast<BYTE*>(buffer), sizeof buffer);
  // Up to the first zero byte, never past the buffer.
  const void* end = std::memchr(buffer, '\0', sizeof buffer);
  std::size_t length = end != nullptr ? static_cast<const char*>(end) - buffer : sizeof buffer;
  return std::string(buffer, length);
}

TJvHidPnPInfo::TStrings ReadList(HDEVINFO set, SP_DEVINFO_DATA& data, DWORD property) {
  // Zero-filled, so that a list the service leaves unterminated still ends inside the buffer.
  std::vector<char> buffer(hid::kPropertyListSize, '\0');
  ReadProperty(set, data, property, reinterpret_cast<BYTE*>(buffer.data()), hid::kPropertyListSize);
  TJvHidPnPInfo::TStrings list;
  std::size_t pos = 0;
  while (pos < buffer.size()) {
    const char* start = buffer.data() + pos;
    const void* end = std::memchr(start, '\0', buffer.size() - pos);
    std::size_t length = end != nullptr ? static_cast<const char*>(end) - start : buffer.size() - pos;
    if (length == 0) break;
    list.emplace_back(start, length);
    pos += length + 1;
  }
  return list;
}

DWORD ReadNumber(HDEVINFO set, SP_DEVINFO_DATA& data, DWORD property) {
  DWORD value = 0;
  ReadProperty(set, data, property, reinterpret_cast<BYTE*>(&value), sizeof value);
  return value;
}

}  // namespace

TJvHidPnPInfo::TJvHidPnPInfo(HDEVINFO APnPHandle, const SP_DEVINFO_DATA& ADevData, const char* ADevicePath)
    : DevInst(ADevData.DevInst), DevicePath(ADevicePath != nullptr ? ADevicePath : "") {
  // The query takes a non-const record; work on a copy.
  SP_DEVINFO_DATA data = ADevData;
  HDEVINFO set = APnPHandle;
  Capabilities = ReadNumber(set, data, SPDRP_CAPABILITIES);
  DeviceClass = ReadText(set, data, SPDRP_CLASS);
  ClassGuid = ReadText(set, data, SPDRP_CLASSGUID);
  CompatibleIds = ReadList(set, data, SPDRP_COMPATIBLEIDS);
  ConfigFlags = ReadNumber(set, data, SPDRP_CONFIGFLAGS);
  DeviceDesc = ReadText(set, data, SPDRP_DEVICEDESC);
  Driver = ReadText(set, data, SPDRP_DRIVER);
  FriendlyName = ReadText(set, data, SPDRP_FRIENDLYNAME);
  HardwareIds = ReadList(set, data, SPDRP_HARDWAREID);
  LowerFilters = ReadList(set, data, SPDRP_LOWERFILTERS);
  Manufacturer = ReadText(set, data, SPDRP_MFG);
  UpperFilters = ReadList(set, data, SPDRP_UPPERFILTERS);
  Service = ReadText(set, data, SPDRP_SERVICE);
  // Read as text whatever the registry type of their data.
  Address = ReadText(set, data, SPDRP_ADDRESS);
  BusNumber = ReadNumber(set, data, SPDRP_BUSNUMBER);
  BusTypeGuid = ReadText(set, data, SPDRP_BUSTYPEGUID);
  Characteristics = ReadText(set, data, SPDRP_CHARACTERISTICS);
  DevType = ReadNumber(set, data, SPDRP_DEVTYPE);
  EnumeratorName = ReadText(set, data, SPDRP_ENUMERATOR_NAME);
  Exclusive = ReadNumber(set, data, SPDRP_EXCLUSIVE);
  LegacyBusType = ReadNumber(set, data, SPDRP_LEGACYBUSTYPE);
  LocationInformation = ReadText(set, data, SPDRP_LOCATION_INFORMATION);
  PhysicalDeviceObjectName = ReadText(set, data, SPDRP_PHYSICAL_DEVICE_OBJECT_NAME);
  SecuritySds = ReadText(set, data, SPDRP_SECURITY_SDS);
  UiNumber = ReadNumber(set, data, SPDRP_UI_NUMBER);
  UiNumberDescFormat = ReadText(set, data, hid::kUiNumberDescFormatProperty);
}
