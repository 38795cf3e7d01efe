#include "hid/hid_device.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "hid/controller_error.h"
#include "hid/hid_controller.h"
#include "hid/service_table.h"
#include "hid/read_thread.h"

namespace {

constexpr int kMinThreadSleepTime = 10;
constexpr int kMaxThreadSleepTime = 10000;
// The product string buffer: 254 UTF-16 units, 508 bytes.
constexpr std::size_t kProductStringUnits = 254;
// How long a timed read waits for its cancellation to come back.
constexpr DWORD kCancelGraceMs = 1000;

HANDLE Normalised(HANDLE handle) { return handle == nullptr ? INVALID_HANDLE_VALUE : handle; }

}  // namespace

TJvHidDevice::TJvHidDevice(std::unique_ptr<TJvHidPnPInfo> PnPInfo, TJvHidDeviceController* Controller)
    : FController(Controller), FPnPInfo(std::move(PnPInfo)) {
  if (FController != nullptr) {
    SetOnData(FController->OnDeviceData());
    FOnUnplug = FController->OnDeviceUnplug();
  }
  OpenSyncHandleUnchecked();
  if (FSyncHandle == INVALID_HANDLE_VALUE) throw EControllerError(hid::kDeviceCannotBeOpened);
  FAttributes.Size = sizeof(HIDD_ATTRIBUTES);
  auto getAttributes = hid::Services().hid.HidD_GetAttributes;
  if (getAttributes == nullptr || !getAttributes(FSyncHandle, &FAttributes)) {
    CloseSyncHandle();
    throw EControllerError(hid::kDeviceCannotBeIdentified);
  }
  CloseSyncHandle();
}

TJvHidDevice::~TJvHidDevice() {
  TJvHidDataEvent oldOnData = FOnData;
  TJvHidPlugEvent oldOnUnplug = FOnUnplug;
  SetOnData(nullptr);  // stops the read thread
  FOnUnplug = nullptr;
  CloseAllHandles();
  if (FPreparsedData != nullptr) {
    if (auto freeData = hid::Services().hid.HidD_FreePreparsedData) freeData(FPreparsedData);
    FPreparsedData = nullptr;
  }
  TJvHidDeviceController* controller = FController;
  if (controller == nullptr) return;
  controller->DeviceDestroyed(this);
  std::vector<TJvHidDevice*>& list = controller->FDeviceList;
  auto entry = std::find(list.begin(), list.end(), this);
  if (entry == list.end()) return;
  const std::size_t index = static_cast<std::size_t>(entry - list.begin());
  if (!Plugged()) {
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(index));
    return;
  }
  // Given back while still plugged in: the entry gets a fresh unclaimed
  // device for the same interface, which takes over the record.
  try {
    auto* fresh = new TJvHidDevice(std::move(FPnPInfo), controller);
    fresh->SetOnData(oldOnData);
    fresh->FOnUnplug = oldOnUnplug;
    fresh->SetThreadSleepTime(ThreadSleepTime());
    list[index] = fresh;
  } catch (...) {
    // The interface cannot be opened any more; its record went with the
    // failed device. Leave no entry behind: the next scan that finds the
    // interface reports it as an arrival.
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(index));
  }
}

bool TJvHidDevice::IsAccessible() const { return Plugged() && (CheckedOut() || InControllerEvent()); }

bool TJvHidDevice::OpenSyncHandleUnchecked() {
  auto createFile = hid::Services().file.CreateFileA;
  if (createFile == nullptr || FPnPInfo == nullptr) return false;
  const char* path = FPnPInfo->DevicePath.c_str();
  FSyncHandle = Normalised(createFile(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
  FReadWriteAccess = FSyncHandle != INVALID_HANDLE_VALUE;
  auto lastError = hid::Services().file.GetLastError;
  FAccessDenied = !FReadWriteAccess && lastError != nullptr && lastError() == ERROR_ACCESS_DENIED;
  if (!FReadWriteAccess) {
    // Query-only access still serves attributes and strings.
    FSyncHandle =
        Normalised(createFile(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
  }
  return FSyncHandle != INVALID_HANDLE_VALUE;
}

bool TJvHidDevice::OpenSyncHandle() {
  if (IsAccessible() && FSyncHandle == INVALID_HANDLE_VALUE) OpenSyncHandleUnchecked();
  // A handle still open from earlier serves even when no longer accessible.
  return FSyncHandle != INVALID_HANDLE_VALUE;
}

bool TJvHidDevice::OpenReadHandle() {
  if (!IsAccessible()) return false;
  if (FReadHandle.load() == INVALID_HANDLE_VALUE) {
    auto createFile = hid::Services().file.CreateFileA;
    if (createFile == nullptr || FPnPInfo == nullptr) return false;
    HANDLE handle = Normalised(createFile(FPnPInfo->DevicePath.c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_OVERLAPPED, nullptr));
    if (handle != INVALID_HANDLE_VALUE) {
      HANDLE expected = INVALID_HANDLE_VALUE;
      if (!FReadHandle.compare_exchange_strong(expected, handle)) {
        hid::Services().file.CloseHandle(handle);
      } else if (!IsAccessible()) {
        // Marked unplugged by another thread while this one was opening (a
        // read thread): the handles of an unplugged device stay closed.
        CloseReadHandle();
      }
    }
  }
  return FReadHandle.load() != INVALID_HANDLE_VALUE;
}

void TJvHidDevice::CloseSyncHandle() {
  if (FSyncHandle == INVALID_HANDLE_VALUE) return;
  hid::Services().file.CloseHandle(FSyncHandle);
  FSyncHandle = INVALID_HANDLE_VALUE;
}

void TJvHidDevice::CloseReadHandle() {
  HANDLE handle = FReadHandle.exchange(INVALID_HANDLE_VALUE);
  if (handle != INVALID_HANDLE_VALUE) hid::Services().file.CloseHandle(handle);
}

void TJvHidDevice::CloseAllHandles() {
  CloseSyncHandle();
  CloseReadHandle();
}

PHIDP_PREPARSED_DATA TJvHidDevice::PreparsedData() {
  if (FPreparsedData == nullptr && OpenSyncHandle()) {
    PHIDP_PREPARSED_DATA data = nullptr;
    auto getData = hid::Services().hid.HidD_GetPreparsedData;
    if (getData != nullptr && getData(FSyncHandle, &data)) FPreparsedData = data;
    CloseSyncHandle();
  }
  return FPreparsedData;
}

HIDP_CAPS TJvHidDevice::Caps() {
  HIDP_CAPS caps;
  std::memset(&caps, 0, sizeof caps);
  if (PHIDP_PREPARSED_DATA data = PreparsedData()) {
    if (auto getCaps = hid::Services().hid.HidP_GetCaps) getCaps(data, &caps);
  }
  return caps;
}

std::u16string TJvHidDevice::ProductString() {
  if (FProductString.empty() && OpenSyncHandle()) {
    char16_t buffer[kProductStringUnits] = {};
    auto getString = hid::Services().hid.HidD_GetProductString;
    if (getString != nullptr && getString(FSyncHandle, buffer, sizeof buffer)) {
      std::size_t length = 0;
      while (length < kProductStringUnits && buffer[length] != 0) ++length;
      FProductString.assign(buffer, length);
    }
    CloseSyncHandle();
  }
  return FProductString;
}

void TJvHidDevice::SetThreadSleepTime(int Value) {
  if (Value >= kMinThreadSleepTime && Value <= kMaxThreadSleepTime) FThreadSleepTime.store(Value);
}

void TJvHidDevice::SetOnData(const TJvHidDataEvent& Handler) {
  if (!Handler.Assigned()) StopReadThread();
  FOnData = Handler;
  StartReadThread();
}

bool TJvHidDevice::WriteReport(const void* Buffer, DWORD Count, DWORD& Written) {
  if (!OpenSyncHandle()) return false;
  auto writeFile = hid::Services().file.WriteFile;
  return writeFile != nullptr && writeFile(FSyncHandle, Buffer, Count, &Written, nullptr) != 0;
}

bool TJvHidDevice::ReadReport(void* Buffer, DWORD Count, DWORD& Read) {
  if (!OpenSyncHandle()) return false;
  auto readFile = hid::Services().file.ReadFile;
  return readFile != nullptr && readFile(FSyncHandle, Buffer, Count, &Read, nullptr) != 0;
}

bool TJvHidDevice::OpenReadHandleForReport() { return OpenReadHandle(); }

void WINAPI TJvHidDevice::TimedReadCompletion(DWORD, DWORD, OVERLAPPED* Overlapped) {
  static_cast<TJvHidDevice*>(Overlapped->hEvent)->FTimedReadDone = true;
}

bool TJvHidDevice::AwaitTimedRead(DWORD Milliseconds) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(Milliseconds);
  auto sleepEx = hid::Services().file.SleepEx;
  while (!FTimedReadDone && sleepEx != nullptr) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) break;
    // Returns early when a completion routine (ours or another) has run.
    sleepEx(static_cast<DWORD>(left), TRUE);
  }
  return FTimedReadDone;
}

TJvHidDevice::ReadResult TJvHidDevice::ReadReportTimeout(void* Buffer, DWORD Count, DWORD& Read,
                                                         DWORD TimeoutMs) {
  Read = 0;
  if (FReadThread != nullptr) return ReadResult::Failed;
  FTimedReadDone = false;
  if (!BeginOverlappedRead(Buffer, Count, &TimedReadCompletion)) return ReadResult::Failed;
  const bool timedOut = !AwaitTimedRead(TimeoutMs);
  if (timedOut) {
    // The read must be over before Buffer goes back to the caller.
    const bool cancelled = CancelOverlappedRead();
    if (!cancelled || !AwaitTimedRead(kCancelGraceMs)) {
      // No cancellation came back; closing the handle is the last way to end it.
      CloseReadHandle();
      AwaitTimedRead(kCancelGraceMs);
      return ReadResult::TimedOut;
    }
  }
  // A report may have completed the read just before the cancellation.
  HANDLE handle = FReadHandle.load();
  auto getResult = hid::Services().file.GetOverlappedResult;
  DWORD transferred = 0;
  if (handle != INVALID_HANDLE_VALUE && getResult != nullptr &&
      getResult(handle, &FReadOverlapped, &transferred, FALSE)) {
    Read = transferred;
    return ReadResult::Ok;
  }
  return timedOut ? ReadResult::TimedOut : ReadResult::Failed;
}

void TJvHidDevice::StartReadThread() {
  if (!FOnData.Assigned() || !Plugged() || !CheckedOut() || !FReadWriteAccess || FReadThread != nullptr) return;
  auto* thread = new TJvHidDeviceReadThread(this);  // created suspended
  thread->SetFreeOnTerminate(false);
  FReadThread = thread;
  thread->Resume();
}

void TJvHidDevice::StopReadThread() {
  TJvHidDeviceReadThread* thread = FReadThread;
  if (thread == nullptr) return;
  // Taken out first, so that a handler running during the wait that stops
  // the thread again finds nothing to stop.
  FReadThread = nullptr;
  thread->Terminate();
  if (thread->DeliveringOnCallingThread()) {
    // Stopped from inside its own delivery: the thread is blocked until this
    // handler returns, so it cannot be waited for here. It ends by itself
    // right after the delivery without touching the device again.
    thread->SetFreeOnTerminate(true);
    return;
  }
  thread->WaitFor();
  delete thread;
}

bool TJvHidDevice::BeginOverlappedRead(void* Buffer, DWORD Count,
                                       LPOVERLAPPED_COMPLETION_ROUTINE CompletionRoutine) {
  if (!OpenReadHandle()) return false;
  HANDLE handle = FReadHandle.load();
  auto readFileEx = hid::Services().file.ReadFileEx;
  if (handle == INVALID_HANDLE_VALUE || readFileEx == nullptr) return false;
  std::memset(&FReadOverlapped, 0, sizeof FReadOverlapped);
  FReadOverlapped.hEvent = static_cast<HANDLE>(this);
  return readFileEx(handle, Buffer, Count, &FReadOverlapped, CompletionRoutine) != 0;
}

DWORD TJvHidDevice::OverlappedReadResult() {
  HANDLE handle = FReadHandle.load();
  auto getResult = hid::Services().file.GetOverlappedResult;
  if (handle == INVALID_HANDLE_VALUE || getResult == nullptr) return 0;
  DWORD transferred = 0;
  return getResult(handle, &FReadOverlapped, &transferred, FALSE) ? transferred : 0;
}

bool TJvHidDevice::CancelOverlappedRead() {
  HANDLE handle = FReadHandle.load();
  if (handle == INVALID_HANDLE_VALUE) return false;
  auto cancelIo = hid::Services().file.CancelIo;
  return cancelIo != nullptr && cancelIo(handle) != 0;
}

void TJvHidDevice::MarkUnplugged() {
  // Unplugged first: a read thread whose read ends with the closing handle
  // must find the device inaccessible, not open a new handle behind it.
  FPlugged.store(false);
  CloseAllHandles();
  // Cleared before the call, so that it fires at most once even when the
  // handler raises, and nothing touches the device after a handler that
  // gives it back by destroying it.
  TJvHidPlugEvent handler = FOnUnplug;
  FOnUnplug = nullptr;
  if (handler.Assigned()) handler(this);
}
