// The device-setup services over udev: device information sets of the
// present hidraw nodes, their interface details and registry properties.
#include <cstddef>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

#include "hid/linux/device_identity.h"
#include "hid/linux/file_objects.h"
#include "hid/linux/class_guids.h"
#include "hid/linux/hidraw_devices.h"
#include "hid/linux/service_groups.h"
#include "hid/linux/report_descriptor.h"

namespace hid::linux_backend {
namespace {

constexpr DWORD SPINT_ACTIVE = 0x1;

struct DeviceEntry {
  UdevDevice device;
  std::string path;  // the /dev/hidrawN node
  DWORD dev_inst = 0;
};

// A set holds its own udev reference: its entries point into the library,
// which must stay loaded until the set is destroyed.
struct DeviceInfoSet {
  explicit DeviceInfoSet(const UdevApi* api) : api(api) {}
  ~DeviceInfoSet() {
    entries.clear();
    ReleaseUdev();
  }
  DeviceInfoSet(const DeviceInfoSet&) = delete;
  DeviceInfoSet& operator=(const DeviceInfoSet&) = delete;

  const UdevApi* api;
  std::vector<DeviceEntry> entries;
};

// The sets handed out; a handle is valid only while it is listed here.
struct SetRegistry {
  std::mutex mutex;
  std::unordered_set<DeviceInfoSet*> sets;
};

SetRegistry& Sets() {
  static SetRegistry registry;
  return registry;
}

// A set stays alive while a call uses it: destroying one while another
// thread queries it is the caller's fault on Windows too, so a plain
// lookup suffices.
DeviceInfoSet* FindSet(HDEVINFO handle) {
  SetRegistry& registry = Sets();
  std::lock_guard lock(registry.mutex);
  auto* set = static_cast<DeviceInfoSet*>(handle);
  return registry.sets.contains(set) ? set : nullptr;
}

bool SameGuid(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }

// Entries are found again through the Reserved member, index + 1.
DeviceEntry* EntryOf(DeviceInfoSet& set, ULONG_PTR reserved) {
  if (reserved == 0 || reserved > set.entries.size()) return nullptr;
  return &set.entries[reserved - 1];
}

HDEVINFO WINAPI SetupDiGetClassDevsA(const GUID* ClassGuid, const char* /*Enumerator*/, HWND /*hwndParent*/,
                                     DWORD Flags) {
  if ((Flags & DIGCF_DEVICEINTERFACE) != 0 && ClassGuid == nullptr) {
    SetLastErrorCode(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  const UdevApi* api = AcquireLoadedUdev();
  if (api == nullptr) {
    SetLastErrorCode(ERROR_INVALID_FUNCTION);
    return INVALID_HANDLE_VALUE;
  }
  auto set = std::make_unique<DeviceInfoSet>(api);
  // Only the HID interface class has members here; any other class gives
  // an empty set, as Windows does for a class with no present interfaces.
  // Absent devices cannot be listed at all, so DIGCF_PRESENT changes nothing.
  if (ClassGuid == nullptr || SameGuid(*ClassGuid, kHidInterfaceClassGuid)) {
    for (UdevDevice& device : PresentHidrawDevices(*api, UdevContext())) {
      DeviceEntry entry;
      entry.path = api->udev_device_get_devnode(device.get());
      entry.dev_inst = DevInstOf(*api, device.get());
      entry.device = std::move(device);
      set->entries.push_back(std::move(entry));
    }
  }
  SetRegistry& registry = Sets();
  std::lock_guard lock(registry.mutex);
  DeviceInfoSet* raw = set.release();
  registry.sets.insert(raw);
  return raw;
}

BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO DeviceInfoSet) {
  SetRegistry& registry = Sets();
  std::unique_ptr<struct DeviceInfoSet> set;
  {
    std::lock_guard lock(registry.mutex);
    auto* raw = static_cast<struct DeviceInfoSet*>(DeviceInfoSet);
    if (registry.sets.erase(raw) == 0) {
      SetLastErrorCode(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    set.reset(raw);
  }
  return TRUE;
}

BOOL WINAPI SetupDiEnumDeviceInterfaces(HDEVINFO DeviceInfoSet, SP_DEVINFO_DATA* DeviceInfoData,
                                        const GUID* InterfaceClassGuid, DWORD MemberIndex,
                                        SP_DEVICE_INTERFACE_DATA* DeviceInterfaceData) {
  struct DeviceInfoSet* set = FindSet(DeviceInfoSet);
  if (set == nullptr) {
    SetLastErrorCode(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (InterfaceClassGuid == nullptr || DeviceInterfaceData == nullptr) {
    SetLastErrorCode(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (DeviceInterfaceData->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA) ||
      (DeviceInfoData != nullptr && DeviceInfoData->cbSize != sizeof(SP_DEVINFO_DATA))) {
    SetLastErrorCode(ERROR_INVALID_USER_BUFFER);
    return FALSE;
  }
  // Limited to one device: only its interfaces count.
  std::size_t first = 0;
  std::size_t count = set->entries.size();
  if (DeviceInfoData != nullptr) {
    if (EntryOf(*set, DeviceInfoData->Reserved) == nullptr) {
      SetLastErrorCode(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    first = DeviceInfoData->Reserved - 1;
    count = 1;
  }
  if (!SameGuid(*InterfaceClassGuid, kHidInterfaceClassGuid) || MemberIndex >= count) {
    SetLastErrorCode(ERROR_NO_MORE_ITEMS);
    return FALSE;
  }
  DeviceInterfaceData->InterfaceClassGuid = kHidInterfaceClassGuid;
  DeviceInterfaceData->Flags = SPINT_ACTIVE;
  DeviceInterfaceData->Reserved = first + MemberIndex + 1;
  return TRUE;
}

void FillDeviceInfo(SP_DEVINFO_DATA* info, const DeviceEntry& entry, ULONG_PTR reserved) {
  info->ClassGuid = kHidDeviceClassGuid;
  info->DevInst = entry.dev_inst;
  info->Reserved = reserved;
}

BOOL WINAPI SetupDiGetDeviceInterfaceDetailA(HDEVINFO DeviceInfoSet, SP_DEVICE_INTERFACE_DATA* DeviceInterfaceData,
                                             SP_DEVICE_INTERFACE_DETAIL_DATA_A* DeviceInterfaceDetailData,
                                             DWORD DeviceInterfaceDetailDataSize, DWORD* RequiredSize,
                                             SP_DEVINFO_DATA* DeviceInfoData) {
  struct DeviceInfoSet* set = FindSet(DeviceInfoSet);
  if (set == nullptr) {
    SetLastErrorCode(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (DeviceInterfaceData == nullptr || DeviceInterfaceData->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA) ||
      (DeviceInfoData != nullptr && DeviceInfoData->cbSize != sizeof(SP_DEVINFO_DATA))) {
    SetLastErrorCode(DeviceInterfaceData == nullptr ? ERROR_INVALID_PARAMETER : ERROR_INVALID_USER_BUFFER);
    return FALSE;
  }
  const DeviceEntry* entry = EntryOf(*set, DeviceInterfaceData->Reserved);
  if (entry == nullptr) {
    SetLastErrorCode(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // The fixed part is the structure's size on this platform (8 bytes on a
  // 64-bit build, 5 on 32-bit Windows): a caller's cbSize must say so.
  constexpr std::size_t kPathOffset = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath);
  const std::size_t needed = kPathOffset + entry->path.size() + 1;
  if (DeviceInterfaceDetailData == nullptr) {
    if (DeviceInterfaceDetailDataSize != 0) {
      SetLastErrorCode(ERROR_INVALID_USER_BUFFER);
      return FALSE;
    }
  } else if (DeviceInterfaceDetailDataSize < kPathOffset + 1 ||
             DeviceInterfaceDetailData->cbSize != sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) {
    SetLastErrorCode(ERROR_INVALID_USER_BUFFER);
    return FALSE;
  }
  if (DeviceInfoData != nullptr) FillDeviceInfo(DeviceInfoData, *entry, DeviceInterfaceData->Reserved);
  if (DeviceInterfaceDetailData == nullptr || DeviceInterfaceDetailDataSize < needed) {
    if (RequiredSize != nullptr) *RequiredSize = static_cast<DWORD>(needed);
    SetLastErrorCode(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::memcpy(DeviceInterfaceDetailData->DevicePath, entry->path.c_str(), entry->path.size() + 1);
  if (RequiredSize != nullptr) *RequiredSize = static_cast<DWORD>(needed);
  return TRUE;
}

// A registry property's value: its type and its bytes.
struct PropertyValue {
  DWORD type = REG_SZ;
  std::vector<BYTE> bytes;
};

PropertyValue Text(const std::string& text) {
  PropertyValue value;
  value.bytes.assign(text.begin(), text.end());
  value.bytes.push_back(0);
  return value;
}

PropertyValue TextList(const std::vector<std::string>& texts) {
  PropertyValue value;
  value.type = REG_MULTI_SZ;
  for (const std::string& text : texts) {
    value.bytes.insert(value.bytes.end(), text.begin(), text.end());
    value.bytes.push_back(0);
  }
  value.bytes.push_back(0);
  return value;
}

PropertyValue Number(std::uint32_t number) {
  PropertyValue value;
  value.type = REG_DWORD;
  for (int i = 0; i < 4; ++i) value.bytes.push_back(static_cast<BYTE>(number >> (8 * i)));
  return value;
}

std::string Hex4(unsigned value) {
  static const char digits[] = "0123456789ABCDEF";
  std::string text(4, '0');
  for (int i = 3; i >= 0; --i, value >>= 4) text[static_cast<std::size_t>(i)] = digits[value & 0xF];
  return text;
}

std::vector<std::string> HardwareIds(const UdevApi& api, udev_device* hidraw) {
  udev_device* hid = HidParent(api, hidraw);
  const auto id = ParseHidId(Property(api, hid, "HID_ID"));
  if (!id) return {};
  const std::string base = "HID\\VID_" + Hex4(id->vendor) + "&PID_" + Hex4(id->product);
  std::vector<std::string> ids;
  if (const auto revision = ParseHex16(Attribute(api, UsbDeviceParent(api, hidraw), "bcdDevice"))) {
    ids.push_back(base + "&REV_" + Hex4(*revision));
  }
  ids.push_back(base);
  if (const auto bytes = ReportDescriptorBytes(api, hidraw)) {
    if (const auto summary = ParseReportDescriptor(*bytes).summary) {
      const std::string usage = "UP:" + Hex4(summary->usage_page) + "_U:" + Hex4(summary->usage);
      ids.push_back("HID\\VID_" + Hex4(id->vendor) + "&" + usage);
      ids.push_back("HID_DEVICE_" + usage);
    }
  }
  ids.push_back("HID_DEVICE");
  return ids;
}

// What udev knows in place of each registry property; empty when there is
// no sensible equivalent, which callers see as an absent property.
std::optional<PropertyValue> PropertyOf(const UdevApi& api, udev_device* hidraw, DWORD property) {
  udev_device* hid = HidParent(api, hidraw);
  udev_device* usb = UsbDeviceParent(api, hidraw);
  auto nonEmpty = [](std::string text) -> std::optional<PropertyValue> {
    if (text.empty()) return std::nullopt;
    return Text(text);
  };
  switch (property) {
    case SPDRP_DEVICEDESC: return nonEmpty(Property(api, hid, "HID_NAME"));
    case SPDRP_HARDWAREID: {
      const auto ids = HardwareIds(api, hidraw);
      if (ids.empty()) return std::nullopt;
      return TextList(ids);
    }
    case SPDRP_MFG: return nonEmpty(Attribute(api, usb, "manufacturer"));
    case SPDRP_SERVICE:
    case SPDRP_DRIVER: {
      const char* driver = hid != nullptr ? api.udev_device_get_driver(hid) : nullptr;
      std::string name = driver != nullptr ? driver : Property(api, hid, "DRIVER");
      return nonEmpty(name);
    }
    case SPDRP_LOCATION_INFORMATION: return nonEmpty(Property(api, hid, "HID_PHYS"));
    case SPDRP_BUSNUMBER: {
      const auto bus = ParseDecimal32(Attribute(api, usb, "busnum"));
      if (!bus) return std::nullopt;
      return Number(*bus);
    }
    case SPDRP_CLASS: return Text("HIDClass");
    case SPDRP_CLASSGUID: return Text(kHidDeviceClassGuidText);
    case SPDRP_ENUMERATOR_NAME: return Text("HID");
    case SPDRP_PHYSICAL_DEVICE_OBJECT_NAME: {
      const char* syspath = api.udev_device_get_syspath(hidraw);
      return nonEmpty(syspath != nullptr ? syspath : "");
    }
    default: return std::nullopt;
  }
}

BOOL WINAPI SetupDiGetDeviceRegistryPropertyA(HDEVINFO DeviceInfoSet, SP_DEVINFO_DATA* DeviceInfoData, DWORD Property,
                                              DWORD* PropertyRegDataType, BYTE* PropertyBuffer,
                                              DWORD PropertyBufferSize, DWORD* RequiredSize) {
  struct DeviceInfoSet* set = FindSet(DeviceInfoSet);
  if (set == nullptr) {
    SetLastErrorCode(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (DeviceInfoData == nullptr || DeviceInfoData->cbSize != sizeof(SP_DEVINFO_DATA)) {
    SetLastErrorCode(DeviceInfoData == nullptr ? ERROR_INVALID_PARAMETER : ERROR_INVALID_USER_BUFFER);
    return FALSE;
  }
  const DeviceEntry* entry = EntryOf(*set, DeviceInfoData->Reserved);
  if (entry == nullptr || (PropertyBuffer == nullptr && PropertyBufferSize != 0)) {
    SetLastErrorCode(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const std::optional<PropertyValue> value = PropertyOf(*set->api, entry->device.get(), Property);
  if (!value) {
    SetLastErrorCode(ERROR_INVALID_DATA);
    return FALSE;
  }
  if (PropertyRegDataType != nullptr) *PropertyRegDataType = value->type;
  if (RequiredSize != nullptr) *RequiredSize = static_cast<DWORD>(value->bytes.size());
  if (value->bytes.size() > PropertyBufferSize) {
    SetLastErrorCode(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::memcpy(PropertyBuffer, value->bytes.data(), value->bytes.size());
  return TRUE;
}

}  // namespace

ServiceTable::Setup SetupServices() { return {LUMETRA_SETUP_SERVICES(LUMETRA_ENTRY_OF_SAME_NAME)}; }

}  // namespace hid::linux_backend
