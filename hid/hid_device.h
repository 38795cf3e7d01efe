// One HID device interface known to the controller.
//
// The device owns its plug-and-play record, opens operating-system handles
// only when they are needed (and only while it is accessible: plugged in and
// either checked out or inside a controller event), and offers its identity,
// its report sizes, synchronous report transfer and the steps of the
// background read its read thread drives.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <new>
#include <string>

#include "hid/hid_events.h"
#include "hid/pnp_info.h"
#include "base/win32_types.h"

class TJvHidDeviceController;
class TJvHidDeviceReadThread;

class TJvHidDevice {
 public:
  // Takes over PnPInfo. Opens the device path to read the attributes and
  // closes it again. Raises EControllerError "Device cannot be opened" when
  // neither opening succeeds and "Device cannot be identified" when the
  // attributes cannot be read; the record is freed with the failed device.
  TJvHidDevice(std::unique_ptr<TJvHidPnPInfo> PnPInfo, TJvHidDeviceController* Controller);
  // Stops the read thread, closes the handles, frees the preparsed data. A
  // device still listed by its controller gives its entry back: a plugged-in
  // one is replaced in place by a fresh unclaimed device for the same
  // interface, an unplugged one leaves the list.
  virtual ~TJvHidDevice();
  TJvHidDevice(const TJvHidDevice&) = delete;
  TJvHidDevice& operator=(const TJvHidDevice&) = delete;

  // Devices are given back (and dropped by their controller) with delete,
  // which handlers may do at any time, even to a device whose event or
  // reader stop is still running further down the stack. Such a device is
  // given back at once, with everything a caller can observe of that, but
  // its memory goes only when the last of those frames has returned, so
  // that none of them is left with a freed object.
  void operator delete(TJvHidDevice* Device, std::destroying_delete_t);

  // --- State ---
  TJvHidDeviceController* Controller() const { return controller_; }
  bool Plugged() const { return plugged_.load(); }
  bool CheckedOut() const { return checkedOut_.load(); }
  bool InControllerEvent() const { return inControllerEvent_.load(); }
  // Plugged and (CheckedOut or InControllerEvent): every opening on demand asks it.
  bool IsAccessible() const;
  HANDLE SyncHandle() const { return syncHandle_; }
  HANDLE ReadHandle() const { return readHandle_.load(); }
  // The last opening of SyncHandle got read and write access.
  bool ReadWriteAccess() const { return readWriteAccess_; }
  // The last opening of SyncHandle for reading and writing was refused for
  // lack of permission (ERROR_ACCESS_DENIED): the device is present, but the
  // user may only query it.
  bool AccessDenied() const { return accessDenied_; }
  const HIDD_ATTRIBUTES& Attributes() const { return attributes_; }
  const TJvHidPnPInfo* PnPInfo() const { return pnpInfo_.get(); }
  TJvHidDeviceReadThread* ReadThread() const { return readThread_; }

  // --- Identity and capabilities, fetched on demand ---
  // The USB product string, cached once fetched (at most 254 UTF-16 units,
  // untrimmed); empty when it cannot be read.
  std::u16string ProductString();
  // Fetched at most once; nullptr when none could be had.
  PHIDP_PREPARSED_DATA PreparsedData();
  // All zero when no preparsed data can be had.
  HIDP_CAPS Caps();

  // --- Handlers and settings ---
  int ThreadSleepTime() const { return threadSleepTime_.load(); }
  // Takes values from 10 to 10000 ms; ignores any other.
  void SetThreadSleepTime(int Value);
  const TJvHidDataEvent& OnData() const { return onData_; }
  // Clearing stops the read thread; setting may start one.
  void SetOnData(const TJvHidDataEvent& Handler);
  // Only the controller's OnDeviceDataError setter gives it a value.
  const TJvHidDataErrorEvent& OnDataError() const { return onDataError_; }
  // Stored only: assigned directly.
  TJvHidPlugEvent OnUnplug;

  // --- Handles ---
  bool OpenSyncHandle();
  bool OpenReadHandle();
  void CloseSyncHandle();
  void CloseReadHandle();
  void CloseAllHandles();

  // --- Synchronous transfers on SyncHandle ---
  // False, with nothing done and Written/Read unchanged, when SyncHandle
  // cannot be opened; otherwise whether the platform call succeeded.
  bool WriteReport(const void* Buffer, DWORD Count, DWORD& Written);
  // Returns when the driver hands over an input report.
  bool ReadReport(void* Buffer, DWORD Count, DWORD& Read);

  // --- Request/answer reads with a time-out, on ReadHandle ---
  // The system hands an input report only to handles open when it arrives,
  // so open the read handle before writing the request the answer is for.
  bool OpenReadHandleForReport();
  enum class ReadResult { Ok, TimedOut, Failed };
  // Reads one input report through an overlapped read on ReadHandle and an
  // alertable wait on the calling thread, for at most TimeoutMs. On time-out
  // the read is cancelled and the cancellation awaited, so Buffer is no
  // longer written once this returns. Read is the byte count on Ok, else 0.
  // Must not be used while a read thread runs on this device (they would
  // share ReadOverlapped); it fails at once in that case.
  ReadResult ReadReportTimeout(void* Buffer, DWORD Count, DWORD& Read, DWORD TimeoutMs);

  // --- Holding the device against other programs ---
  // A program that exchanges request and answer with a device must have it
  // to itself: every program that has the device open receives every input
  // report. The hold keeps every other process's hold off the device until
  // ReleaseHold, giving back or unplugging, and dies with the process.
  enum class HoldResult {
    Held,    // this device now holds it (or already did)
    Busy,    // another process still had it when the wait ran out
    Failed,  // the device is not accessible, or the hold could not be taken
  };
  // Waits at most TimeoutMs for a hold another process has. User-interface
  // thread only, as is ReleaseHold.
  HoldResult HoldExclusive(DWORD TimeoutMs);
  void ReleaseHold();
  bool Holding() const { return hold_ != INVALID_HANDLE_VALUE; }

  // --- Background read ---
  // Starts the read thread when OnData is assigned, the device is plugged
  // in, checked out, was opened for reading and writing, and has no thread.
  void StartReadThread();
  // Asks the thread to end, waits for it (serving its hand-overs) and frees it.
  void StopReadThread();
  // The steps the read thread drives (they run on the read thread).
  bool BeginOverlappedRead(void* Buffer, DWORD Count, LPOVERLAPPED_COMPLETION_ROUTINE CompletionRoutine);
  DWORD OverlappedReadResult();
  bool CancelOverlappedRead();

  // Called by the controller: marks the device unplugged, closes the
  // handles and fires OnUnplug once. The read thread is not stopped (it can
  // open nothing new once the device is unplugged).
  void MarkUnplugged();

 private:
  friend class TJvHidDeviceController;

  // Keeps a device's memory while a frame uses it across a call that may run
  // handlers; the last one to go frees a device given back meanwhile.
  class Hold {
   public:
    explicit Hold(TJvHidDevice* Device);
    ~Hold();
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

   private:
    TJvHidDevice* device_;
  };

  // What giving the device back does: stops the reader, closes the handles,
  // frees the preparsed data and gives the controller's list entry back.
  // Runs once; the destructor runs it unless delete already has.
  void GiveBack();
  // Step of GiveBack: a device still listed by its controller gives its
  // entry back (a fresh device for a plugged-in one, none for another).
  void GiveEntryBack(const TJvHidDataEvent& OldOnData, const TJvHidPlugEvent& OldOnUnplug);
  bool GivenBack() const { return givenBack_; }
  static void Free(TJvHidDevice* Device);
  // The byte count of the last overlapped read; kNoResult when ReadHandle
  // is closed or the result cannot be had.
  static constexpr DWORD kNoResult = 0xFFFFFFFF;
  DWORD OverlappedResult();

  bool OpenSyncHandleUnchecked();
  static void WINAPI TimedReadCompletion(DWORD ErrorCode, DWORD Transferred, OVERLAPPED* Overlapped);
  bool AwaitTimedRead(DWORD Milliseconds);

  TJvHidDeviceController* controller_ = nullptr;
  std::atomic<bool> plugged_{true};
  std::atomic<bool> checkedOut_{false};
  std::atomic<bool> inControllerEvent_{false};
  HANDLE syncHandle_ = INVALID_HANDLE_VALUE;
  // Closed by the user-interface thread while the read thread may use it.
  std::atomic<HANDLE> readHandle_{INVALID_HANDLE_VALUE};
  OVERLAPPED readOverlapped_{};
  HIDD_ATTRIBUTES attributes_{};
  std::unique_ptr<TJvHidPnPInfo> pnpInfo_;
  std::u16string productString_;
  PHIDP_PREPARSED_DATA preparsedData_ = nullptr;
  std::atomic<int> threadSleepTime_{100};
  TJvHidDataEvent onData_;
  TJvHidDataErrorEvent onDataError_;
  bool readWriteAccess_ = false;
  bool accessDenied_ = false;
  HANDLE hold_ = INVALID_HANDLE_VALUE;
  TJvHidDeviceReadThread* readThread_ = nullptr;
  bool timedReadDone_ = false;
  // Held across every use of ReadHandle's value, so that the user-interface
  // thread cannot close it (and the system hand its value to another
  // device's handle) between the moment a read thread takes the value and
  // the call it makes with it.
  std::mutex readHandleLock_;
  // The frames holding the device, whether it has been given back, and
  // whether it was deleted while held. User-interface thread only.
  int holds_ = 0;
  bool givenBack_ = false;
  bool freeWhenReleased_ = false;
};
