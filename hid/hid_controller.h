// The HID device controller: the non-visual component through which the
// program reaches HID devices.
//
// It keeps the list of HID device interfaces present (one TJvHidDevice per
// interface, in order of discovery), re-scans it whenever the system
// broadcasts that device nodes have changed, reports arrivals and removals,
// offers the present devices one by one to a handler and lends single
// devices to the client (checks them out). Everything runs on the
// user-interface thread; the re-scan guards itself against re-entry with
// RescanActive.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hid/component.h"
#include "hid/hid_device.h"
#include "hid/hid_events.h"
#include "base/win32_types.h"

class TJvHidDeviceController : public TJvComponent {
 public:
  // Acquires the device-setup and HID services; with them it creates its
  // hidden notify window and posts itself the start-up device-change notice,
  // so the first scan runs from the event loop. Without them it is inert.
  explicit TJvHidDeviceController(TComponent* AOwner);
  // Destroys the unclaimed devices, marks checked-out ones unplugged and
  // leaves them to their holders, releases the services.
  ~TJvHidDeviceController() override;

  // Re-scans the interfaces present and compares with the list: fires
  // OnRemoval for each device gone, OnArrival for each new one (already
  // listed at its index), then OnDeviceChange if anything changed.
  void DeviceChange();
  // Offers each plugged-in device with its index to OnEnumerate until it
  // returns false; returns how many were offered.
  int EnumerateDevices();
  // Lends the device at Idx to the caller. False, with HidDev nullptr, when
  // Idx is out of range or the device is already checked out.
  bool CheckOutDevice(TJvHidDevice*& HidDev, int Idx);

  // --- Properties ---
  int DevThreadSleepTime() const { return devThreadSleepTime_; }
  // Spreads the new value to devices still at the old one; stored unchecked.
  void SetDevThreadSleepTime(int Value);
  std::string Version() const { return version_; }
  // Written values go to a sink; Version stays what it is.
  void SetVersion(const std::string& Value) { versionSink_ = Value; }

  // Events the controller only stores: assigned directly.
  TJvHidPlugEvent OnArrival;
  TJvHidEnumerateEvent OnEnumerate;
  TJvHidPlugEvent OnRemoval;

  // Events whose attaching does more than store the handler: a setter.
  const TNotifyEvent& OnDeviceChange() const { return onDeviceChange_; }
  // A handler with the current function is ignored; another is stored and,
  // unless the component is loading, followed by an immediate re-scan.
  void SetOnDeviceChange(const TNotifyEvent& Value);
  const TJvHidDataEvent& OnDeviceData() const { return onDeviceData_; }
  // The three setters below hand the new handler to every listed device
  // whose handler has the controller's current function.
  void SetOnDeviceData(const TJvHidDataEvent& Value);
  const TJvHidDataErrorEvent& OnDeviceDataError() const { return onDeviceDataError_; }
  void SetOnDeviceDataError(const TJvHidDataErrorEvent& Value);
  const TJvHidPlugEvent& OnDeviceUnplug() const { return onDeviceUnplug_; }
  void SetOnDeviceUnplug(const TJvHidPlugEvent& Value);

  // --- State ---
  const GUID& HidClassGuid() const { return hidClassGuid_; }
  // The devices known, in order of discovery; an index is valid until the next re-scan.
  const std::vector<TJvHidDevice*>& DeviceList() const { return deviceList_; }
  int Count() const { return static_cast<int>(deviceList_.size()); }
  bool RescanActive() const { return rescanActive_; }
  std::int32_t LastChangeParam() const { return lastChangeParam_; }
  HWND NotifyWindow() const { return notifyWindow_; }

 private:
  friend class TJvHidDevice;
  class EventScope;
  class FreshList;
  class HeldList;

  static LRESULT NotifyProc(void* Context, HWND Window, UINT Message, WPARAM WParam, LPARAM LParam);
  LRESULT HandleNotifyMessage(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam);
  // Builds a fresh device for every HID interface present.
  void ScanPresentInterfaces(std::vector<TJvHidDevice*>& Fresh);
  static void DestroyUnlisted(TJvHidDevice* Device);
  // Still in the list and not given back.
  bool IsListed(const TJvHidDevice* Device) const;
  bool IsListedAndPlugged(DWORD DevInst) const;
  void AddScannedInterface(HDEVINFO Set, SP_DEVICE_INTERFACE_DATA& InterfaceData, std::vector<TJvHidDevice*>& Fresh);
  void FireArrival(TJvHidDevice* Device);
  void FireRemoval(TJvHidDevice* Device);
  bool EnumerationStep(TJvHidDevice* Device, int Index);

  GUID hidClassGuid_{};
  TNotifyEvent onDeviceChange_;
  TJvHidDataEvent onDeviceData_;
  TJvHidDataErrorEvent onDeviceDataError_;
  TJvHidPlugEvent onDeviceUnplug_;
  int devThreadSleepTime_ = 100;
  std::string version_ = "1.0.35";
  std::string versionSink_;
  std::vector<TJvHidDevice*> deviceList_;
  bool rescanActive_ = false;
  std::int32_t lastChangeParam_ = 0;
  HWND notifyWindow_ = nullptr;
  // What this controller acquired, and so releases.
  bool setupAcquired_ = false;
  bool hidAcquired_ = false;
};
