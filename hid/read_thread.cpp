#include "hid/read_thread.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "hid/hid_device.h"
#include "hid/service_table.h"

namespace hid {
namespace {
std::atomic<bool> g_insideLibrary{false};
}
void SetRunningInsideLibrary(bool Value) { g_insideLibrary.store(Value); }
bool RunningInsideLibrary() { return g_insideLibrary.load(); }
}  // namespace hid

namespace {

// Notes which thread a delivery runs on for as long as the handler runs.
class DeliveryMark {
 public:
  explicit DeliveryMark(std::atomic<std::thread::id>& mark) : mark_(mark) { mark_.store(std::this_thread::get_id()); }
  ~DeliveryMark() { mark_.store(std::thread::id()); }
  DeliveryMark(const DeliveryMark&) = delete;
  DeliveryMark& operator=(const DeliveryMark&) = delete;

 private:
  std::atomic<std::thread::id>& mark_;
};

// Cancellation completions are awaited for at most this many slices.
constexpr int kCancelWaitSlices = 3;

}  // namespace

TJvHidDeviceReadThread::TJvHidDeviceReadThread(TJvHidDevice* Dev) : SourceDevice(Dev) {
  ReportBuffer.assign(Dev->Caps().InputReportByteLength, 0);
}

TJvHidDeviceReadThread::~TJvHidDeviceReadThread() {
  // The body is a virtual function of this class: it must be over before
  // this part of the object goes.
  Terminate();
  if (!Finished()) WaitFor();
}

void WINAPI TJvHidDeviceReadThread::ReadCompletionStub(DWORD, DWORD, OVERLAPPED*) {
  // The result is fetched afterwards through the device.
}

void TJvHidDeviceReadThread::DeliverReport() {
  DeliveryMark delivering(deliveringOn_);
  const BYTE reportId = ReportBuffer.empty() ? 0 : ReportBuffer[0];
  const void* data = ReportBuffer.empty() ? nullptr : ReportBuffer.data() + 1;
  // A copy: the handler may replace the device's handler or destroy the device.
  const TJvHidDataEvent handler = SourceDevice->OnData();
  handler(SourceDevice, reportId, data, static_cast<std::uint16_t>(LastReadCount - 1));
}

void TJvHidDeviceReadThread::DeliverReadError() {
  DeliveryMark delivering(deliveringOn_);
  const TJvHidDataErrorEvent handler = SourceDevice->OnDataError();
  if (handler.Assigned()) handler(SourceDevice, ErrorCode);
}

void TJvHidDeviceReadThread::Execute() {
  hid::ServiceTable& services = hid::Services();
  DWORD lastWait = WAIT_IO_COMPLETION;
  while (!Terminated()) {
    lastWait = WAIT_IO_COMPLETION;
    // The buffer has the input report length taken at creation.
    std::fill(ReportBuffer.begin(), ReportBuffer.end(), BYTE{0});
    const DWORD count = static_cast<DWORD>(ReportBuffer.size());
    if (SourceDevice->BeginOverlappedRead(ReportBuffer.data(), count, &ReadCompletionStub)) {
      // The completion routine runs inside this wait, which then returns
      // WAIT_IO_COMPLETION; a timeout only gives a chance to see Terminated.
      do {
        lastWait = services.file.SleepEx(static_cast<DWORD>(SourceDevice->ThreadSleepTime()), TRUE);
      } while (!Terminated() && lastWait != WAIT_IO_COMPLETION);
      if (Terminated()) break;
      LastReadCount = SourceDevice->OverlappedReadResult();
      if (LastReadCount > 0) {
        // A handler that raises loses its report; reading goes on.
        try {
          if (hid::RunningInsideLibrary()) {
            DeliverReport();
          } else {
            Synchronize([this] { DeliverReport(); });
          }
        } catch (...) {
        }
      }
    } else {
      ErrorCode = services.file.GetLastError();
      try {
        Synchronize([this] { DeliverReadError(); });
      } catch (...) {
      }
      // An unplugged device fails every start; wait a slice between the
      // attempts instead of spinning until the device stops the thread.
      if (!Terminated() && !SourceDevice->Plugged()) {
        services.file.SleepEx(static_cast<DWORD>(SourceDevice->ThreadSleepTime()), TRUE);
      }
    }
  }
  if (lastWait != WAIT_IO_COMPLETION && SourceDevice->CancelOverlappedRead()) {
    // Let the cancellation complete while the buffer still exists.
    for (int slice = 0; slice < kCancelWaitSlices; ++slice) {
      if (services.file.SleepEx(static_cast<DWORD>(SourceDevice->ThreadSleepTime()), TRUE) == WAIT_IO_COMPLETION) break;
    }
  }
}
