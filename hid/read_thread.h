// The background reader of one checked-out device.
//
// It keeps one overlapped read of an input report outstanding, waits for it
// in alertable slices of the device's ThreadSleepTime, and hands each report
// to the device's OnData on the user-interface thread, waiting until the
// handler has returned before it starts the next read. A read that cannot
// be started is reported through OnDataError.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "hid/thread.h"
#include "base/win32_types.h"

class TJvHidDevice;

class TJvHidDeviceReadThread : public hid::Thread {
 public:
  // Runs on the thread that starts the reader and takes the device's Caps
  // there: the input report length is fixed by the preparsed data, which
  // never change, so the thread reads with that length and never calls into
  // the HID services itself (another controller may release them meanwhile).
  // Created suspended.
  explicit TJvHidDeviceReadThread(TJvHidDevice* Dev);
  ~TJvHidDeviceReadThread() override;

  // True while the thread's OnData or OnDataError call is running on the
  // calling thread, that is, when the caller is that handler.
  bool DeliveringOnCallingThread() const { return deliveringOn_.load() == std::this_thread::get_id(); }

  DWORD ErrorCode = 0;
  TJvHidDevice* SourceDevice = nullptr;
  DWORD LastReadCount = 0;
  std::vector<BYTE> ReportBuffer;

 protected:
  void Execute() override;

 private:
  void DeliverReport();
  void DeliverReadError();
  static void WINAPI ReadCompletionStub(DWORD ErrorCode, DWORD Transferred, OVERLAPPED* Overlapped);

  // The thread a delivery runs on; no thread while none runs.
  std::atomic<std::thread::id> deliveringOn_{};
};

namespace hid {
// Set at start-up by code that runs inside a dynamic library: reports are
// then delivered on the read thread itself. False in the program.
void SetRunningInsideLibrary(bool Value);
bool RunningInsideLibrary();
}  // namespace hid
