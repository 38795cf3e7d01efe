#include "hid/hid_device.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <system_error>
#include <utility>

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
    : controller_(Controller), pnpInfo_(std::move(PnPInfo)) {
  if (controller_ != nullptr) {
    SetOnData(controller_->OnDeviceData());
    OnUnplug = controller_->OnDeviceUnplug();
  }
  OpenSyncHandleUnchecked();
  if (syncHandle_ == INVALID_HANDLE_VALUE) throw EControllerError(hid::kDeviceCannotBeOpened);
  attributes_.Size = sizeof(HIDD_ATTRIBUTES);
  auto getAttributes = hid::Services().hid.HidD_GetAttributes;
  if (getAttributes == nullptr || !getAttributes(syncHandle_, &attributes_)) {
    CloseSyncHandle();
    throw EControllerError(hid::kDeviceCannotBeIdentified);
  }
  CloseSyncHandle();
}

TJvHidDevice::~TJvHidDevice() { GiveBack(); }

void TJvHidDevice::operator delete(TJvHidDevice* Device, std::destroying_delete_t) {
  if (Device->holds_ > 0) {
    Device->GiveBack();
    Device->freeWhenReleased_ = true;
    return;
  }
  Free(Device);
}

void TJvHidDevice::Free(TJvHidDevice* Device) {
  Device->~TJvHidDevice();
  ::operator delete(static_cast<void*>(Device));
}

TJvHidDevice::Hold::Hold(TJvHidDevice* Device) : device_(Device) { ++device_->holds_; }

TJvHidDevice::Hold::~Hold() {
  if (--device_->holds_ == 0 && device_->freeWhenReleased_) Free(device_);
}

void TJvHidDevice::GiveBack() {
  if (givenBack_) return;
  givenBack_ = true;
  // Held by hand (a Hold would free it at the end): a handler that the
  // reader's stop runs may delete the device again, which must only mark it.
  ++holds_;
  TJvHidDataEvent oldOnData = onData_;
  TJvHidPlugEvent oldOnUnplug = OnUnplug;
  StopReadThread();
  onData_ = nullptr;
  OnUnplug = nullptr;
  ReleaseHold();
  CloseAllHandles();
  if (preparsedData_ != nullptr) {
    if (auto freeData = hid::Services().hid.HidD_FreePreparsedData) freeData(preparsedData_);
    preparsedData_ = nullptr;
  }
  GiveEntryBack(oldOnData, oldOnUnplug);
  --holds_;
}

void TJvHidDevice::GiveEntryBack(const TJvHidDataEvent& OldOnData, const TJvHidPlugEvent& OldOnUnplug) {
  TJvHidDeviceController* controller = controller_;
  if (controller == nullptr) return;
  std::vector<TJvHidDevice*>& list = controller->deviceList_;
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
    auto* fresh = new TJvHidDevice(std::move(pnpInfo_), controller);
    fresh->SetOnData(OldOnData);
    fresh->OnUnplug = OldOnUnplug;
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
  if (createFile == nullptr || pnpInfo_ == nullptr) return false;
  const char* path = pnpInfo_->DevicePath.c_str();
  syncHandle_ = Normalised(createFile(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
  readWriteAccess_ = syncHandle_ != INVALID_HANDLE_VALUE;
  auto lastError = hid::Services().file.GetLastError;
  accessDenied_ = !readWriteAccess_ && lastError != nullptr && lastError() == ERROR_ACCESS_DENIED;
  if (!readWriteAccess_) {
    // Query-only access still serves attributes and strings.
    syncHandle_ =
        Normalised(createFile(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
  }
  return syncHandle_ != INVALID_HANDLE_VALUE;
}

bool TJvHidDevice::OpenSyncHandle() {
  if (IsAccessible() && syncHandle_ == INVALID_HANDLE_VALUE) OpenSyncHandleUnchecked();
  // A handle still open from earlier serves even when no longer accessible.
  return syncHandle_ != INVALID_HANDLE_VALUE;
}

bool TJvHidDevice::OpenReadHandle() {
  if (!IsAccessible()) return false;
  if (readHandle_.load() == INVALID_HANDLE_VALUE) {
    auto createFile = hid::Services().file.CreateFileA;
    if (createFile == nullptr || pnpInfo_ == nullptr) return false;
    // Opened without the lock: an opening may take a while, and the
    // user-interface thread must never wait for one.
    HANDLE handle =
        Normalised(createFile(pnpInfo_->DevicePath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
    if (handle != INVALID_HANDLE_VALUE) {
      std::unique_lock lock(readHandleLock_);
      // Another thread may have been quicker, or have marked the device
      // unplugged meanwhile (a read thread opening): the handles of an
      // unplugged device stay closed.
      const bool kept = readHandle_.load() == INVALID_HANDLE_VALUE && IsAccessible();
      if (kept) readHandle_.store(handle);
      lock.unlock();
      if (!kept) hid::Services().file.CloseHandle(handle);
    }
  }
  return readHandle_.load() != INVALID_HANDLE_VALUE;
}

void TJvHidDevice::CloseSyncHandle() {
  if (syncHandle_ == INVALID_HANDLE_VALUE) return;
  hid::Services().file.CloseHandle(syncHandle_);
  syncHandle_ = INVALID_HANDLE_VALUE;
}

void TJvHidDevice::CloseReadHandle() {
  std::lock_guard lock(readHandleLock_);
  HANDLE handle = readHandle_.exchange(INVALID_HANDLE_VALUE);
  if (handle != INVALID_HANDLE_VALUE) hid::Services().file.CloseHandle(handle);
}

void TJvHidDevice::CloseAllHandles() {
  CloseSyncHandle();
  CloseReadHandle();
}

PHIDP_PREPARSED_DATA TJvHidDevice::PreparsedData() {
  if (preparsedData_ == nullptr && OpenSyncHandle()) {
    PHIDP_PREPARSED_DATA data = nullptr;
    auto getData = hid::Services().hid.HidD_GetPreparsedData;
    if (getData != nullptr && getData(syncHandle_, &data)) preparsedData_ = data;
    CloseSyncHandle();
  }
  return preparsedData_;
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
  if (productString_.empty() && OpenSyncHandle()) {
    char16_t buffer[kProductStringUnits] = {};
    auto getString = hid::Services().hid.HidD_GetProductString;
    if (getString != nullptr && getString(syncHandle_, buffer, sizeof buffer)) {
      std::size_t length = 0;
      while (length < kProductStringUnits && buffer[length] != 0) ++length;
      productString_.assign(buffer, length);
    }
    CloseSyncHandle();
  }
  return productString_;
}

void TJvHidDevice::SetThreadSleepTime(int Value) {
  if (Value >= kMinThreadSleepTime && Value <= kMaxThreadSleepTime) threadSleepTime_.store(Value);
}

void TJvHidDevice::SetOnData(const TJvHidDataEvent& Handler) {
  // Stopping the reader serves its pending delivery, whose handler may give
  // this device back.
  Hold hold(this);
  if (!Handler.Assigned()) StopReadThread();
  if (givenBack_) return;
  onData_ = Handler;
  StartReadThread();
}

bool TJvHidDevice::WriteReport(const void* Buffer, DWORD Count, DWORD& Written) {
  if (!OpenSyncHandle()) return false;
  auto writeFile = hid::Services().file.WriteFile;
  return writeFile != nullptr && writeFile(syncHandle_, Buffer, Count, &Written, nullptr) != 0;
}

bool TJvHidDevice::ReadReport(void* Buffer, DWORD Count, DWORD& Read) {
  if (!OpenSyncHandle()) return false;
  auto readFile = hid::Services().file.ReadFile;
  return readFile != nullptr && readFile(syncHandle_, Buffer, Count, &Read, nullptr) != 0;
}

bool TJvHidDevice::OpenReadHandleForReport() { return OpenReadHandle(); }

void WINAPI TJvHidDevice::TimedReadCompletion(DWORD, DWORD, OVERLAPPED* Overlapped) {
  static_cast<TJvHidDevice*>(Overlapped->hEvent)->timedReadDone_ = true;
}

bool TJvHidDevice::AwaitTimedRead(DWORD Milliseconds) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(Milliseconds);
  auto sleepEx = hid::Services().file.SleepEx;
  while (!timedReadDone_ && sleepEx != nullptr) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) break;
    // Returns early when a completion routine (ours or another) has run.
    sleepEx(static_cast<DWORD>(left), TRUE);
  }
  return timedReadDone_;
}

TJvHidDevice::ReadResult TJvHidDevice::ReadReportTimeout(void* Buffer, DWORD Count, DWORD& Read, DWORD TimeoutMs) {
  Read = 0;
  if (readThread_ != nullptr) return ReadResult::Failed;
  timedReadDone_ = false;
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
  if (const DWORD transferred = OverlappedResult(); transferred != kNoResult) {
    Read = transferred;
    return ReadResult::Ok;
  }
  return timedOut ? ReadResult::TimedOut : ReadResult::Failed;
}

TJvHidDevice::HoldResult TJvHidDevice::HoldExclusive(DWORD TimeoutMs) {
  if (hold_ != INVALID_HANDLE_VALUE) return HoldResult::Held;
  auto holdDevice = hid::Services().hold.HoldDevice;
  if (!IsAccessible() || pnpInfo_ == nullptr || holdDevice == nullptr) return HoldResult::Failed;
  HANDLE hold = Normalised(holdDevice(pnpInfo_->DevicePath.c_str(), TimeoutMs));
  if (hold == INVALID_HANDLE_VALUE) {
    auto lastError = hid::Services().file.GetLastError;
    return lastError != nullptr && lastError() == ERROR_TIMEOUT ? HoldResult::Busy : HoldResult::Failed;
  }
  hold_ = hold;
  return HoldResult::Held;
}

void TJvHidDevice::ReleaseHold() {
  HANDLE hold = std::exchange(hold_, INVALID_HANDLE_VALUE);
  if (hold == INVALID_HANDLE_VALUE) return;
  if (auto release = hid::Services().hold.ReleaseDeviceHold) release(hold);
}

void TJvHidDevice::StartReadThread() {
  if (givenBack_ || !onData_.Assigned() || !Plugged() || !CheckedOut() || !readWriteAccess_ || readThread_ != nullptr) {
    return;
  }
  auto* thread = new TJvHidDeviceReadThread(this);  // created suspended
  thread->SetFreeOnTerminate(false);
  readThread_ = thread;
  try {
    thread->Resume();
  } catch (const std::system_error&) {
    // No thread can be had now: the device goes on without a reader, as one
    // without a data handler does, and a later SetOnData tries again.
    readThread_ = nullptr;
    delete thread;
  }
}

void TJvHidDevice::StopReadThread() {
  TJvHidDeviceReadThread* thread = readThread_;
  if (thread == nullptr) return;
  // Taken out first, so that a handler running during the wait that stops
  // the thread again finds nothing to stop.
  readThread_ = nullptr;
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

bool TJvHidDevice::BeginOverlappedRead(void* Buffer, DWORD Count, LPOVERLAPPED_COMPLETION_ROUTINE CompletionRoutine) {
  if (!OpenReadHandle()) return false;
  auto readFileEx = hid::Services().file.ReadFileEx;
  std::lock_guard lock(readHandleLock_);
  HANDLE handle = readHandle_.load();
  if (handle == INVALID_HANDLE_VALUE || readFileEx == nullptr) return false;
  std::memset(&readOverlapped_, 0, sizeof readOverlapped_);
  readOverlapped_.hEvent = static_cast<HANDLE>(this);
  return readFileEx(handle, Buffer, Count, &readOverlapped_, CompletionRoutine) != 0;
}

DWORD TJvHidDevice::OverlappedResult() {
  auto getResult = hid::Services().file.GetOverlappedResult;
  std::lock_guard lock(readHandleLock_);
  HANDLE handle = readHandle_.load();
  if (handle == INVALID_HANDLE_VALUE || getResult == nullptr) return kNoResult;
  DWORD transferred = 0;
  return getResult(handle, &readOverlapped_, &transferred, FALSE) ? transferred : kNoResult;
}

DWORD TJvHidDevice::OverlappedReadResult() {
  const DWORD transferred = OverlappedResult();
  return transferred == kNoResult ? 0 : transferred;
}

bool TJvHidDevice::CancelOverlappedRead() {
  auto cancelIo = hid::Services().file.CancelIo;
  std::lock_guard lock(readHandleLock_);
  HANDLE handle = readHandle_.load();
  if (handle == INVALID_HANDLE_VALUE) return false;
  return cancelIo != nullptr && cancelIo(handle) != 0;
}

void TJvHidDevice::MarkUnplugged() {
  // Unplugged first: a read thread whose read ends with the closing handle
  // must find the device inaccessible, not open a new handle behind it.
  plugged_.store(false);
  ReleaseHold();
  CloseAllHandles();
  // Cleared before the call, so that it fires at most once even when the
  // handler raises, and nothing touches the device after a handler that
  // gives it back by destroying it.
  TJvHidPlugEvent handler = OnUnplug;
  OnUnplug = nullptr;
  if (handler.Assigned()) handler(this);
}
