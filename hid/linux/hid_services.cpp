// The HID services over udev and sysfs: the HID class GUID, a device's
// attributes and product string, and its capabilities from the report
// descriptor.
#include <cstring>
#include <mutex>
#include <unordered_set>

#include "hid/linux/class_guids.h"
#include "base/utf.h"
#include "hid/linux/device_identity.h"
#include "hid/linux/file_objects.h"
#include "hid/linux/hidraw_devices.h"
#include "hid/linux/service_groups.h"
#include "hid/linux/report_descriptor.h"

namespace hid::linux_backend {
namespace {

// The opaque block behind a PHIDP_PREPARSED_DATA.
struct PreparsedBlock {
  HIDP_CAPS caps{};
};

struct PreparsedRegistry {
  std::mutex mutex;
  std::unordered_set<const void*> blocks;
};

PreparsedRegistry& Preparsed() {
  static PreparsedRegistry registry;
  return registry;
}

// Runs query(api, device) for the hidraw device behind a handle, holding a
// udev reference for the duration. Sets the last error and returns false
// when the handle or its device cannot be had.
template <typename Query>
bool WithDevice(HANDLE handle, Query&& query) {
  std::shared_ptr<FileObject> object = LookupFileObject(handle);
  if (!object) {
    SetLastErrorCode(ERROR_INVALID_HANDLE);
    return false;
  }
  const UdevApi* api = AcquireLoadedUdev();
  if (api == nullptr) {
    SetLastErrorCode(ERROR_INVALID_FUNCTION);
    return false;
  }
  bool ok = false;
  {
    // A handle opened on a device stays tied to that plug-in: once it is
    // gone the handle answers nothing, even if another device now has the
    // same node.
    UdevDevice device = object->syspath.empty() ? HidrawDeviceByNode(*api, UdevContext(), object->path)
                                                : DeviceBySyspath(*api, UdevContext(), object->syspath);
    if (!device) {
      SetLastErrorCode(object->syspath.empty() ? ERROR_INVALID_FUNCTION : ERROR_DEVICE_NOT_CONNECTED);
    } else {
      ok = query(*api, device.get());
    }
  }
  ReleaseUdev();
  return ok;
}

void WINAPI HidD_GetHidGuid(GUID* HidGuid) {
  if (HidGuid != nullptr) *HidGuid = kHidInterfaceClassGuid;
}

BOOLEAN WINAPI HidD_GetAttributes(HANDLE HidDeviceObject, HIDD_ATTRIBUTES* Attributes) {
  if (Attributes == nullptr) {
    SetLastErrorCode(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return WithDevice(HidDeviceObject,
                    [Attributes](const UdevApi& api, udev_device* hidraw) {
                      const auto id = ParseHidId(Property(api, HidParent(api, hidraw), "HID_ID"));
                      if (!id) {
                        SetLastErrorCode(ERROR_INVALID_DATA);
                        return false;
                      }
                      Attributes->Size = sizeof(HIDD_ATTRIBUTES);
                      Attributes->VendorID = id->vendor;
                      Attributes->ProductID = id->product;
                      // Only USB devices carry a release number.
                      Attributes->VersionNumber =
                          ParseHex16(Attribute(api, UsbDeviceParent(api, hidraw), "bcdDevice")).value_or(0);
                      return true;
                    })
             ? TRUE
             : FALSE;
}

BOOLEAN WINAPI HidD_GetProductString(HANDLE HidDeviceObject, void* Buffer, ULONG BufferLength) {
  if (Buffer == nullptr && BufferLength != 0) {
    SetLastErrorCode(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return WithDevice(HidDeviceObject,
                    [Buffer, BufferLength](const UdevApi& api, udev_device* hidraw) {
                      std::string product;
                      if (udev_device* usb = UsbDeviceParent(api, hidraw)) {
                        // A USB device without a product string descriptor has none to give.
                        product = Attribute(api, usb, "product");
                      } else {
                        // Other buses name the device in HID_NAME.
                        product = Property(api, HidParent(api, hidraw), "HID_NAME");
                      }
                      if (product.empty()) {
                        SetLastErrorCode(ERROR_INVALID_DATA);
                        return false;
                      }
                      const std::u16string text = base::Utf8ToUtf16(product);
                      const std::size_t bytes = text.size() * sizeof(char16_t);
                      if (bytes > BufferLength) {
                        SetLastErrorCode(ERROR_INSUFFICIENT_BUFFER);
                        return false;
                      }
                      std::memcpy(Buffer, text.data(), bytes);
                      if (bytes + sizeof(char16_t) <= BufferLength) {
                        std::memset(static_cast<char*>(Buffer) + bytes, 0, sizeof(char16_t));
                      }
                      return true;
                    })
             ? TRUE
             : FALSE;
}

BOOLEAN WINAPI HidD_GetPreparsedData(HANDLE HidDeviceObject, PHIDP_PREPARSED_DATA* PreparsedData) {
  if (PreparsedData == nullptr) {
    SetLastErrorCode(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return WithDevice(HidDeviceObject,
                    [PreparsedData](const UdevApi& api, udev_device* hidraw) {
                      const auto bytes = ReportDescriptorBytes(api, hidraw);
                      const auto parsed = bytes ? ParseReportDescriptor(*bytes).summary : std::nullopt;
                      if (!parsed) {
                        SetLastErrorCode(ERROR_INVALID_DATA);
                        return false;
                      }
                      auto* block = new PreparsedBlock;
                      block->caps.Usage = parsed->usage;
                      block->caps.UsagePage = parsed->usage_page;
                      block->caps.InputReportByteLength = parsed->input_report_byte_length;
                      block->caps.OutputReportByteLength = parsed->output_report_byte_length;
                      block->caps.FeatureReportByteLength = parsed->feature_report_byte_length;
                      block->caps.NumberLinkCollectionNodes = parsed->collection_count;
                      {
                        PreparsedRegistry& registry = Preparsed();
                        std::lock_guard lock(registry.mutex);
                        registry.blocks.insert(block);
                      }
                      *PreparsedData = reinterpret_cast<PHIDP_PREPARSED_DATA>(block);
                      return true;
                    })
             ? TRUE
             : FALSE;
}

BOOLEAN WINAPI HidD_FreePreparsedData(PHIDP_PREPARSED_DATA PreparsedData) {
  PreparsedRegistry& registry = Preparsed();
  {
    std::lock_guard lock(registry.mutex);
    // Anything this service did not hand out, or freed already, is refused
    // instead of being freed.
    if (registry.blocks.erase(PreparsedData) == 0) {
      SetLastErrorCode(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
  }
  delete reinterpret_cast<PreparsedBlock*>(PreparsedData);
  return TRUE;
}

NTSTATUS WINAPI HidP_GetCaps(PHIDP_PREPARSED_DATA PreparsedData, HIDP_CAPS* Capabilities) {
  if (Capabilities == nullptr) return HIDP_STATUS_INVALID_PREPARSED_DATA;
  PreparsedRegistry& registry = Preparsed();
  std::lock_guard lock(registry.mutex);
  if (!registry.blocks.contains(PreparsedData)) return HIDP_STATUS_INVALID_PREPARSED_DATA;
  *Capabilities = reinterpret_cast<const PreparsedBlock*>(PreparsedData)->caps;
  return HIDP_STATUS_SUCCESS;
}

}  // namespace

ServiceTable::Hid HidServices() { return {LUMETRA_HID_SERVICES(LUMETRA_ENTRY_OF_SAME_NAME)}; }

}  // namespace hid::linux_backend
