#include "hid/hid_controller.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>

#include "hid/service_table.h"
#include "hid/notify_window.h"

namespace {

// The Windows HID interface class, used when the HID services are missing.
constexpr GUID kHidInterfaceClass = {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

// Resets a flag when the scope ends, however it ends.
class FlagReset {
 public:
  explicit FlagReset(bool& flag) : flag_(flag) {}
  ~FlagReset() { flag_ = false; }
  FlagReset(const FlagReset&) = delete;
  FlagReset& operator=(const FlagReset&) = delete;

 private:
  bool& flag_;
};

DWORD DevInstOf(const TJvHidDevice* device) { return device->PnPInfo() != nullptr ? device->PnPInfo()->DevInst : 0; }

}  // namespace

// One event of a device: the device is held while its handler runs (a
// handler may give it back, or run a re-scan that drops it) and marked as
// inside a controller event, which lets the handler open and use a device
// that is not checked out. Nested events of the same device each restore
// what they found.
class TJvHidDeviceController::EventScope {
 public:
  explicit EventScope(TJvHidDevice* device)
      : hold_(device), device_(device), wasInEvent_(device->inControllerEvent_.exchange(true)) {}
  ~EventScope() { device_->inControllerEvent_.store(wasInEvent_); }
  EventScope(const EventScope&) = delete;
  EventScope& operator=(const EventScope&) = delete;

 private:
  TJvHidDevice::Hold hold_;
  TJvHidDevice* device_;
  bool wasInEvent_;
};

// Every device of a list, held while a walk over it calls handlers, so that
// the walk can tell a device given back meanwhile from a live one.
class TJvHidDeviceController::HeldList {
 public:
  explicit HeldList(const std::vector<TJvHidDevice*>& devices) : devices(devices) {
    holds_.reserve(devices.size());
    for (TJvHidDevice* device : devices) holds_.push_back(std::make_unique<TJvHidDevice::Hold>(device));
  }
  const std::vector<TJvHidDevice*> devices;

 private:
  std::vector<std::unique_ptr<TJvHidDevice::Hold>> holds_;
};

// The devices of one scan that are not (yet) in the list. Whatever is left
// in it when it goes, after a handler raised for example, is destroyed.
class TJvHidDeviceController::FreshList {
 public:
  FreshList() = default;
  FreshList(const FreshList&) = delete;
  FreshList& operator=(const FreshList&) = delete;
  ~FreshList() {
    for (TJvHidDevice* device : items) DestroyUnlisted(device);
  }
  std::vector<TJvHidDevice*> items;
};

void TJvHidDeviceController::DestroyUnlisted(TJvHidDevice* Device) {
  if (Device == nullptr) return;
  // Cleared first: an unlisted device has no entry to give back.
  Device->controller_ = nullptr;
  delete Device;
}

TJvHidDeviceController::TJvHidDeviceController(TComponent* AOwner) : TJvComponent(AOwner) {
  setupAcquired_ = hid::AcquireSetupServices();
  if (setupAcquired_) hidAcquired_ = hid::AcquireHidServices();
  if (hid::HidServicesAvailable()) {
    hid::Services().hid.HidD_GetHidGuid(&hidClassGuid_);
    notifyWindow_ = hid::CreateNotifyWindow(&NotifyProc, this);
    // Posted, not sent: the first scan runs from the event loop, once the
    // owner and every handler of its layout are in place. LParam -1 makes
    // that scan report a device change even when nothing is present.
    if (notifyWindow_ != nullptr) {
      hid::PostNotifyMessage(notifyWindow_, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, static_cast<LPARAM>(-1));
    }
  } else {
    hidClassGuid_ = kHidInterfaceClass;
  }
}

TJvHidDeviceController::~TJvHidDeviceController() {
  MarkDestroying();
  onDeviceChange_ = nullptr;
  onDeviceUnplug_ = nullptr;
  OnEnumerate = nullptr;
  // Whenever one was made: a window left behind would call a destroyed controller.
  if (notifyWindow_ != nullptr) {
    hid::DestroyNotifyWindow(notifyWindow_);
    notifyWindow_ = nullptr;
  }
  // Handlers that run from here on see an empty list.
  std::vector<TJvHidDevice*> devices;
  devices.swap(deviceList_);
  {
    // A handler may give back a checked-out device the walk has yet to reach.
    HeldList held(devices);
    for (TJvHidDevice* device : held.devices) {
      if (device->GivenBack()) continue;
      device->controller_ = nullptr;
      if (device->CheckedOut()) {
        device->MarkUnplugged();  // left to its holder
      } else {
        delete device;
      }
    }
  }
  // Exactly what this controller acquired.
  if (setupAcquired_) hid::ReleaseSetupServices();
  if (hidAcquired_) hid::ReleaseHidServices();
}

LRESULT TJvHidDeviceController::NotifyProc(void* Context, HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  return static_cast<TJvHidDeviceController*>(Context)->HandleNotifyMessage(Window, Message, WParam, LParam);
}

LRESULT TJvHidDeviceController::HandleNotifyMessage(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  // A notice that comes while a re-scan runs (a handler let messages in) is
  // dropped, not queued.
  if (!Destroying() && Message == WM_DEVICECHANGE && WParam == DBT_DEVNODES_CHANGED && !rescanActive_) {
    lastChangeParam_ = static_cast<std::int32_t>(LParam);
    rescanActive_ = true;
    FlagReset reset(rescanActive_);
    DeviceChange();
  }
  return hid::DefaultNotifyProc(Window, Message, WParam, LParam);
}

void TJvHidDeviceController::ScanPresentInterfaces(std::vector<TJvHidDevice*>& Fresh) {
  if (!hid::HidServicesAvailable()) return;
  const hid::ServiceTable::Setup& setup = hid::Services().setup;
  // Another controller may have released the services this one relies on.
  if (!hid::Complete(setup)) return;
  HDEVINFO set = setup.SetupDiGetClassDevsA(&hidClassGuid_, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  if (set == INVALID_HANDLE_VALUE) return;
  struct SetRelease {
    const hid::ServiceTable::Setup& setup;
    HDEVINFO set;
    ~SetRelease() { setup.SetupDiDestroyDeviceInfoList(set); }
  } release{setup, set};

  for (DWORD index = 0;; ++index) {
    SP_DEVICE_INTERFACE_DATA interfaceData;
    std::memset(&interfaceData, 0, sizeof interfaceData);
    interfaceData.cbSize = sizeof(SP_DEVICE_INTERFACE_DATA);
    if (!setup.SetupDiEnumDeviceInterfaces(set, nullptr, &hidClassGuid_, index, &interfaceData)) break;
    // An interface whose detail cannot be had yields no device; the scan
    // moves on to the next index.
    AddScannedInterface(set, interfaceData, Fresh);
  }
}

void TJvHidDeviceController::AddScannedInterface(HDEVINFO Set, SP_DEVICE_INTERFACE_DATA& InterfaceData,
                                                 std::vector<TJvHidDevice*>& Fresh) {
  hid::ServiceTable& services = hid::Services();
  SP_DEVINFO_DATA deviceData;
  std::memset(&deviceData, 0, sizeof deviceData);
  deviceData.cbSize = sizeof(SP_DEVINFO_DATA);
  DWORD needed = 0;
  services.setup.SetupDiGetDeviceInterfaceDetailA(Set, &InterfaceData, nullptr, 0, &needed, &deviceData);
  if (needed == 0 || services.file.GetLastError() != ERROR_INSUFFICIENT_BUFFER) return;

  // The record's size field holds the size of its fixed part on this build
  // (5 on 32-bit Windows, 8 on 64-bit), not the length of the buffer.
  std::vector<unsigned char> buffer(std::max<std::size_t>(needed, sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)), 0);
  auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer.data());
  detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
  if (!services.setup.SetupDiGetDeviceInterfaceDetailA(Set, &InterfaceData, detail, static_cast<DWORD>(buffer.size()),
                                                       &needed, &deviceData)) {
    return;
  }
  const std::size_t offset = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath);
  const char* text = reinterpret_cast<const char*>(buffer.data() + offset);
  const std::size_t room = buffer.size() - offset;
  const void* end = std::memchr(text, '\0', room);
  const std::string path(text, end != nullptr ? static_cast<std::size_t>(static_cast<const char*>(end) - text) : room);

  try {
    auto info = std::make_unique<TJvHidPnPInfo>(Set, deviceData, path.c_str());
    std::unique_ptr<TJvHidDevice> device(new TJvHidDevice(std::move(info), this));
    Fresh.push_back(device.get());
    device.release();
  } catch (...) {
    // The interface cannot be opened or identified now: it is left out of
    // this scan (the failed device took its record with it).
  }
}

void TJvHidDeviceController::DeviceChange() {
  bool changed = lastChangeParam_ == -1;
  FreshList fresh;
  ScanPresentInterfaces(fresh.items);

  // Gone devices, last to first, as listed when the walk starts. Handlers
  // may give devices back, or run a re-scan of their own that takes some
  // out of the list: a device no longer listed is done with. A device
  // already unplugged (checked out and kept after an earlier removal) never
  // counts as present, so it is reported again at every re-scan.
  const HeldList held(deviceList_);
  for (auto walk = held.devices.rbegin(); walk != held.devices.rend(); ++walk) {
    TJvHidDevice* device = *walk;
    if (!IsListed(device)) continue;
    bool present = false;
    if (device->Plugged()) {
      for (std::size_t j = fresh.items.size(); j-- > 0;) {
        if (DevInstOf(fresh.items[j]) == DevInstOf(device)) {
          present = true;
          break;
        }
      }
    }
    if (present) continue;
    changed = true;
    device->MarkUnplugged();
    if (!IsListed(device)) continue;
    FireRemoval(device);
    if (!IsListed(device) || device->CheckedOut()) continue;
    // Nothing refers to it once OnRemoval has returned.
    deviceList_.erase(std::find(deviceList_.begin(), deviceList_.end(), device));
    DestroyUnlisted(device);
  }

  // Known devices: a fresh entry for an interface already listed and
  // plugged in is a duplicate.
  for (TJvHidDevice*& candidate : fresh.items) {
    if (IsListedAndPlugged(DevInstOf(candidate))) {
      DestroyUnlisted(candidate);
      candidate = nullptr;
    }
  }

  // Arrivals, each listed before its handler runs; later fresh entries are not listed yet.
  for (TJvHidDevice*& candidate : fresh.items) {
    if (candidate == nullptr) continue;
    // A handler that ran a re-scan of its own may have listed it meanwhile.
    if (IsListedAndPlugged(DevInstOf(candidate))) {
      DestroyUnlisted(candidate);
      candidate = nullptr;
      continue;
    }
    TJvHidDevice* device = candidate;
    candidate = nullptr;
    deviceList_.push_back(device);
    changed = true;
    FireArrival(device);
  }

  if (changed && onDeviceChange_.Assigned()) {
    const TNotifyEvent handler = onDeviceChange_;
    handler(this);
  }
}

bool TJvHidDeviceController::IsListed(const TJvHidDevice* Device) const {
  return !Device->GivenBack() && std::find(deviceList_.begin(), deviceList_.end(), Device) != deviceList_.end();
}

bool TJvHidDeviceController::IsListedAndPlugged(DWORD DevInst) const {
  return std::any_of(deviceList_.begin(), deviceList_.end(), [DevInst](const TJvHidDevice* device) {
    return device->Plugged() && DevInstOf(device) == DevInst;
  });
}

void TJvHidDeviceController::FireArrival(TJvHidDevice* Device) {
  if (!OnArrival.Assigned()) return;
  const TJvHidPlugEvent handler = OnArrival;
  EventScope scope(Device);
  handler(Device);
}

void TJvHidDeviceController::FireRemoval(TJvHidDevice* Device) {
  if (!OnRemoval.Assigned()) return;
  const TJvHidPlugEvent handler = OnRemoval;
  EventScope scope(Device);
  handler(Device);
}

bool TJvHidDeviceController::EnumerationStep(TJvHidDevice* Device, int Index) {
  if (!OnEnumerate.Assigned()) return false;
  const TJvHidEnumerateEvent handler = OnEnumerate;
  TJvHidDevice::Hold hold(Device);
  bool result = false;
  {
    EventScope scope(Device);
    result = handler(Device, Index);
  }
  // A device offered and not taken keeps no handle open.
  if (!Device->GivenBack() && !Device->CheckedOut()) Device->CloseAllHandles();
  return result;
}

int TJvHidDeviceController::EnumerateDevices() {
  int result = 0;
  const std::size_t count = deviceList_.size();
  // Unplugged entries are skipped but keep their indices.
  for (std::size_t i = 0; i < count && i < deviceList_.size(); ++i) {
    TJvHidDevice* device = deviceList_[i];
    if (!device->Plugged()) continue;
    ++result;
    if (!EnumerationStep(device, static_cast<int>(i))) break;
  }
  return result;
}

bool TJvHidDeviceController::CheckOutDevice(TJvHidDevice*& HidDev, int Idx) {
  HidDev = nullptr;
  if (Idx < 0 || Idx >= Count()) return false;
  TJvHidDevice* device = deviceList_[static_cast<std::size_t>(Idx)];
  if (device->CheckedOut()) return false;
  HidDev = device;
  device->checkedOut_.store(true);
  device->StartReadThread();
  return true;
}

void TJvHidDeviceController::SetOnDeviceChange(const TNotifyEvent& Value) {
  if (Value.SameFunction(onDeviceChange_)) return;
  onDeviceChange_ = Value;
  if (!Loading()) DeviceChange();
}

void TJvHidDeviceController::SetOnDeviceData(const TJvHidDataEvent& Value) {
  if (Value.SameFunction(onDeviceData_)) return;
  const TJvHidDataEvent old = onDeviceData_;
  // Stopping a read thread serves its pending hand-over, whose handler may
  // change the list, give its device back (whose fresh entry then has the
  // old handler) or another one: look for the next device to change afresh
  // each time.
  for (;;) {
    const auto next = std::find_if(deviceList_.begin(), deviceList_.end(),
                                   [&old](const TJvHidDevice* device) { return device->OnData().SameFunction(old); });
    if (next == deviceList_.end()) break;
    (*next)->SetOnData(Value);
  }
  onDeviceData_ = Value;
}

void TJvHidDeviceController::SetOnDeviceDataError(const TJvHidDataErrorEvent& Value) {
  if (Value.SameFunction(onDeviceDataError_)) return;
  for (TJvHidDevice* device : deviceList_) {
    if (device->onDataError_.SameFunction(onDeviceDataError_)) device->onDataError_ = Value;
  }
  onDeviceDataError_ = Value;
}

void TJvHidDeviceController::SetOnDeviceUnplug(const TJvHidPlugEvent& Value) {
  if (Value.SameFunction(onDeviceUnplug_)) return;
  for (TJvHidDevice* device : deviceList_) {
    if (device->OnUnplug.SameFunction(onDeviceUnplug_)) device->OnUnplug = Value;
  }
  onDeviceUnplug_ = Value;
}

void TJvHidDeviceController::SetDevThreadSleepTime(int Value) {
  if (Value == devThreadSleepTime_) return;
  // Devices refuse values outside 10..10000; the controller keeps it anyway.
  for (TJvHidDevice* device : deviceList_) {
    if (device->ThreadSleepTime() == devThreadSleepTime_) device->SetThreadSleepTime(Value);
  }
  devThreadSleepTime_ = Value;
}
