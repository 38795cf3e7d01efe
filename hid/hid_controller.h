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
  int DevThreadSleepTime() const { return FDevThreadSleepTime; }
  // Spreads the new value to devices still at the old one; stored unchecked.
  void SetDevThreadSleepTime(int Value);
  std::string Version() const { return FVersion; }
  // Written values go to a sink; Version stays what it is.
  void SetVersion(const std::string& Value) { FVersionSink = Value; }

  const TJvHidPlugEvent& OnArrival() const { return FOnArrival; }
  void SetOnArrival(const TJvHidPlugEvent& Value) { FOnArrival = Value; }
  const TJvHidEnumerateEvent& OnEnumerate() const { return FOnEnumerate; }
  void SetOnEnumerate(const TJvHidEnumerateEvent& Value) { FOnEnumerate = Value; }
  const TNotifyEvent& OnDeviceChange() const { return FOnDeviceChange; }
  // A handler with the current function is ignored; another is stored and,
  // unless the component is loading, followed by an immediate re-scan.
  void SetOnDeviceChange(const TNotifyEvent& Value);
  const TJvHidDataEvent& OnDeviceData() const { return FOnDeviceData; }
  // The three setters below hand the new handler to every listed device
  // whose handler has the controller's current function.
  void SetOnDeviceData(const TJvHidDataEvent& Value);
  const TJvHidDataErrorEvent& OnDeviceDataError() const { return FOnDeviceDataError; }
  void SetOnDeviceDataError(const TJvHidDataErrorEvent& Value);
  const TJvHidPlugEvent& OnDeviceUnplug() const { return FOnDeviceUnplug; }
  void SetOnDeviceUnplug(const TJvHidPlugEvent& Value);
  const TJvHidPlugEvent& OnRemoval() const { return FOnRemoval; }
  void SetOnRemoval(const TJvHidPlugEvent& Value) { FOnRemoval = Value; }

  // --- State ---
  const GUID& HidClassGuid() const { return FHidClassGuid; }
  // The devices known, in order of discovery; an index is valid until the next re-scan.
  const std::vector<TJvHidDevice*>& DeviceList() const { return FDeviceList; }
  int Count() const { return static_cast<int>(FDeviceList.size()); }
  bool RescanActive() const { return FRescanActive; }
  std::int32_t LastChangeParam() const { return FLastChangeParam; }
  HWND NotifyWindow() const { return FNotifyWindow; }

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
  void AddScannedInterface(HDEVINFO Set, SP_DEVICE_INTERFACE_DATA& InterfaceData,
                           std::vector<TJvHidDevice*>& Fresh);
  void FireArrival(TJvHidDevice* Device);
  void FireRemoval(TJvHidDevice* Device);
  bool EnumerationStep(TJvHidDevice* Device, int Index);

  GUID FHidClassGuid{};
  TJvHidPlugEvent FOnArrival;
  TNotifyEvent FOnDeviceChange;
  TJvHidEnumerateEvent FOnEnumerate;
  TJvHidDataEvent FOnDeviceData;
  TJvHidDataErrorEvent FOnDeviceDataError;
  TJvHidPlugEvent FOnDeviceUnplug;
  TJvHidPlugEvent FOnRemoval;
  int FDevThreadSleepTime = 100;
  std::string FVersion = "1.0.35";
  std::string FVersionSink;
  std::vector<TJvHidDevice*> FDeviceList;
  bool FRescanActive = false;
  std::int32_t FLastChangeParam = 0;
  HWND FNotifyWindow = nullptr;
  // What this controller acquired, and so releases.
  bool FSetupAcquired = false;
  bool FHidAcquired = false;
};
