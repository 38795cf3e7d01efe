#include "tests/support/simulated_hid_platform.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <set>
#include <stdexcept>
#include <thread>

#include "tests/support/interface_scan.h"

namespace simulated_hid {
namespace {

using Clock = std::chrono::steady_clock;

// OVERLAPPED.Internal while a read is outstanding.
constexpr ULONG_PTR kPending = 0x103;
constexpr DWORD kSpintActive = 1;
constexpr DWORD kPreparsedMagic = 0x48494450;  // "HIDP"
constexpr DWORD kErrorNoSuchDevinst = 0xE000020Bu;

// One plugging of a device. Handles opened during it stay bound to it, so
// after a replug they remain dead.
struct Instance {
  DeviceId id = 0;
  bool plugged = true;
};

struct OpenFile {
  std::shared_ptr<Instance> instance;
  DWORD access = 0;
  DWORD flags = 0;
  Clock::time_point openedAt;
  std::deque<std::vector<BYTE>> input;
  bool closed = false;
};

struct Apc {
  LPOVERLAPPED_COMPLETION_ROUTINE routine = nullptr;
  DWORD error = 0;
  DWORD bytes = 0;
  OVERLAPPED* overlapped = nullptr;
};

struct ApcQueue {
  std::deque<Apc> apcs;
};

struct PendingRead {
  std::shared_ptr<OpenFile> file;
  std::uintptr_t handle = 0;
  BYTE* buffer = nullptr;
  DWORD count = 0;
  OVERLAPPED* overlapped = nullptr;
  LPOVERLAPPED_COMPLETION_ROUTINE routine = nullptr;
  ApcQueue* issuer = nullptr;
};

struct Scheduled {
  Clock::time_point due;
  std::vector<BYTE> bytes;
};

struct DeviceRecord {
  DeviceConfig config;
  std::shared_ptr<Instance> current;  // the latest plugging
  Responder responder;
  std::vector<std::vector<BYTE>> writes;
  std::deque<Scheduled> scheduled;
  int openAttempts = 0;
  int productStringQueries = 0;
  bool heldElsewhere = false;  // by another program
  DWORD lastHoldWait = 0;
};

struct SetEntry {
  DeviceId id = 0;
  DWORD devInst = 0;
  std::string path;
  DetailFailure detailFailure = DetailFailure::None;
};

struct DeviceInfoSet {
  std::vector<SetEntry> entries;
};

struct PreparsedBlock {
  DWORD magic = kPreparsedMagic;
  HIDP_CAPS caps{};
};

struct PlatformState {
  std::map<DeviceId, DeviceRecord> devices;
  std::vector<DeviceId> order;  // enumeration order of plugged-in devices
  std::map<std::uintptr_t, std::shared_ptr<OpenFile>> files;
  std::map<std::uintptr_t, DeviceInfoSet> sets;
  std::map<std::uintptr_t, DeviceId> holds;  // taken by the program under test
  std::set<PreparsedBlock*> preparsed;
  std::vector<PendingRead> pending;
  std::set<ApcQueue*> queues;
  std::uintptr_t nextHandle = 0x100;
  DeviceId nextId = 1;
  DWORD nextDevInst = 0x1001;
  bool setupLoadable = true;
  bool hidLoadable = true;
  bool classDevsFails = false;
  bool cancelIoAvailable = true;
  std::function<void()> afterClose;
  std::function<void()> beforeOpen;
  std::function<void()> beforeRead;
  bool reuseHandles = false;
  std::vector<std::uintptr_t> closedHandles;  // the values to hand out again, last closed last
  int setupLoads = 0, setupFrees = 0, hidLoads = 0, hidFrees = 0;
  int cancelIoCalls = 0;
  DWORD lastClassDevsFlags = 0;
};

// The lock and the condition outlive every thread (never destroyed), so a
// thread that ends after the simulated platform can still tidy up safely.
std::mutex& Mutex() {
  static auto* mutex = new std::mutex;
  return *mutex;
}
std::condition_variable& Changed() {
  static auto* changed = new std::condition_variable;
  return *changed;
}
PlatformState* g_state = nullptr;  // guarded by Mutex()

thread_local DWORD t_lastError = ERROR_SUCCESS;

void SetError(DWORD error) { t_lastError = error; }

BOOL Fail(DWORD error) {
  SetError(error);
  return FALSE;
}

PlatformState& State() {
  if (g_state == nullptr) throw std::logic_error("no SimulatedPlatform installed");
  return *g_state;
}

// The calling thread's completion queue; removed with the thread, whose
// outstanding reads then end without a completion (as reads a thread
// issued end when it exits).
struct ThreadSlot {
  ApcQueue queue;
  bool registered = false;
  ~ThreadSlot() {
    std::lock_guard lock(Mutex());
    if (g_state == nullptr || !registered) return;
    auto& pending = g_state->pending;
    pending.erase(std::remove_if(pending.begin(), pending.end(),
                                 [this](const PendingRead& read) { return read.issuer == &queue; }),
                  pending.end());
    g_state->queues.erase(&queue);
  }
};

// Requires the lock.
ApcQueue* CurrentQueue(PlatformState& state) {
  thread_local ThreadSlot slot;
  if (!slot.registered || state.queues.count(&slot.queue) == 0) {
    slot.registered = true;
    state.queues.insert(&slot.queue);
  }
  return &slot.queue;
}

std::uintptr_t Key(HANDLE handle) { return reinterpret_cast<std::uintptr_t>(handle); }

HANDLE NewHandle(PlatformState& state) {
  if (state.reuseHandles && !state.closedHandles.empty()) {
    const std::uintptr_t value = state.closedHandles.back();
    state.closedHandles.pop_back();
    return reinterpret_cast<HANDLE>(value);
  }
  std::uintptr_t value = state.nextHandle;
  state.nextHandle += 4;
  return reinterpret_cast<HANDLE>(value);
}

// Runs one of the state's hooks, outside the lock.
void RunHook(std::function<void()> PlatformState::*hook) {
  std::function<void()> copy;
  {
    std::lock_guard lock(Mutex());
    copy = State().*hook;
  }
  if (copy) copy();
}

std::shared_ptr<OpenFile> FindFile(PlatformState& state, HANDLE handle) {
  auto it = state.files.find(Key(handle));
  return it == state.files.end() ? nullptr : it->second;
}

DeviceRecord& Record(PlatformState& state, DeviceId id) {
  auto it = state.devices.find(id);
  if (it == state.devices.end()) throw std::out_of_range("unknown simulated device");
  return it->second;
}

HIDP_CAPS CapsOf(const DeviceConfig& config) {
  HIDP_CAPS caps;
  std::memset(&caps, 0, sizeof caps);
  caps.Usage = config.usage;
  caps.UsagePage = config.usagePage;
  caps.InputReportByteLength = config.inputReportLength;
  caps.OutputReportByteLength = config.outputReportLength;
  caps.FeatureReportByteLength = config.featureReportLength;
  return caps;
}

// Requires the lock. Ends one outstanding read: fills in its OVERLAPPED and
// queues its completion routine for the thread that issued it.
void Complete(PlatformState& state, std::size_t index, DWORD error, DWORD bytes) {
  PendingRead read = state.pending[index];
  state.pending.erase(state.pending.begin() + static_cast<std::ptrdiff_t>(index));
  read.overlapped->Internal = error;
  read.overlapped->InternalHigh = bytes;
  if (read.routine != nullptr && read.issuer != nullptr) {
    read.issuer->apcs.push_back(Apc{read.routine, error, bytes, read.overlapped});
  }
  Changed().notify_all();
}

// Requires the lock. Delivers the reports that are due to the handles open
// when they arrived, then completes reads that have a report waiting.
void Pump(PlatformState& state) {
  const Clock::time_point now = Clock::now();
  for (auto& [id, record] : state.devices) {
    while (!record.scheduled.empty() && record.scheduled.front().due <= now) {
      Scheduled report = std::move(record.scheduled.front());
      record.scheduled.pop_front();
      if (!record.current || !record.current->plugged) continue;
      for (auto& [key, file] : state.files) {
        if (file->closed || file->instance != record.current) continue;
        if ((file->access & GENERIC_READ) == 0 || file->openedAt > report.due) continue;
        file->input.push_back(report.bytes);
        if (file->input.size() > kInputBufferReports) file->input.pop_front();
      }
      Changed().notify_all();
    }
  }
  for (std::size_t i = 0; i < state.pending.size();) {
    PendingRead& read = state.pending[i];
    if (read.file->input.empty()) {
      ++i;
      continue;
    }
    std::vector<BYTE> report = std::move(read.file->input.front());
    read.file->input.pop_front();
    const DWORD bytes = std::min<DWORD>(read.count, static_cast<DWORD>(report.size()));
    if (bytes > 0) std::memcpy(read.buffer, report.data(), bytes);
    Complete(state, i, ERROR_SUCCESS, bytes);
  }
}

// Requires the lock. When the next scheduled report is due.
Clock::time_point NextDue(const PlatformState& state) {
  Clock::time_point next = Clock::time_point::max();
  for (const auto& [id, record] : state.devices) {
    if (!record.scheduled.empty()) next = std::min(next, record.scheduled.front().due);
  }
  return next;
}

// Requires the lock.
void Schedule(PlatformState& state, DeviceId id, std::vector<BYTE> bytes, std::chrono::milliseconds delay) {
  DeviceRecord& record = Record(state, id);
  Scheduled report{Clock::now() + delay, std::move(bytes)};
  auto position = std::upper_bound(record.scheduled.begin(), record.scheduled.end(), report.due,
                                   [](Clock::time_point due, const Scheduled& s) { return due < s.due; });
  record.scheduled.insert(position, std::move(report));
  Pump(state);
  Changed().notify_all();
}

// Requires the lock. The device a handle is open on, if it is plugged in.
bool UsableFile(const std::shared_ptr<OpenFile>& file, DWORD& error) {
  if (!file || file->closed) {
    error = ERROR_INVALID_HANDLE;
    return false;
  }
  if (!file->instance->plugged) {
    error = ERROR_DEVICE_NOT_CONNECTED;
    return false;
  }
  return true;
}

// The simulated services, each named as the entry point it fills.

// --- Device-setup services ---

HDEVINFO WINAPI SetupDiGetClassDevsA(const GUID* classGuid, const char*, HWND, DWORD flags) {
  std::lock_guard lock(Mutex());
  PlatformState& state = State();
  state.lastClassDevsFlags = flags;
  if (state.classDevsFails) {
    SetError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  DeviceInfoSet set;
  const GUID hid = SimulatedPlatform::HidGuid();
  if (classGuid != nullptr && std::memcmp(classGuid, &hid, sizeof hid) == 0 && (flags & DIGCF_DEVICEINTERFACE)) {
    for (DeviceId id : state.order) {
      const DeviceRecord& record = state.devices.at(id);
      set.entries.push_back(SetEntry{id, record.config.devInst, record.config.path, record.config.detailFailure});
    }
  }
  HANDLE handle = NewHandle(state);
  state.sets[Key(handle)] = std::move(set);
  return handle;
}

BOOL WINAPI SetupDiEnumDeviceInterfaces(HDEVINFO setHandle, SP_DEVINFO_DATA*, const GUID* interfaceGuid, DWORD index,
                                        SP_DEVICE_INTERFACE_DATA* data) {
  std::lock_guard lock(Mutex());
  PlatformState& state = State();
  auto set = state.sets.find(Key(setHandle));
  if (set == state.sets.end()) return Fail(ERROR_INVALID_HANDLE);
  if (data == nullptr || data->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA)) return Fail(kErrorInvalidUserBuffer);
  if (index >= set->second.entries.size()) return Fail(ERROR_NO_MORE_ITEMS);
  if (interfaceGuid != nullptr) data->InterfaceClassGuid = *interfaceGuid;
  data->Flags = kSpintActive;
  data->Reserved = index + 1;  // our cookie: which entry
  SetError(ERROR_SUCCESS);
  return TRUE;
}

BOOL WINAPI SetupDiGetDeviceInterfaceDetailA(HDEVINFO setHandle, SP_DEVICE_INTERFACE_DATA* data,
                                             SP_DEVICE_INTERFACE_DETAIL_DATA_A* detail, DWORD detailSize,
                                             DWORD* requiredSize, SP_DEVINFO_DATA* deviceData) {
  std::lock_guard lock(Mutex());
  PlatformState& state = State();
  auto set = state.sets.find(Key(setHandle));
  if (set == state.sets.end()) return Fail(ERROR_INVALID_HANDLE);
  if (data == nullptr || data->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA)) return Fail(kErrorInvalidUserBuffer);
  if (data->Reserved == 0 || data->Reserved > set->second.entries.size()) return Fail(ERROR_INVALID_PARAMETER);
  const SetEntry& entry = set->second.entries[data->Reserved - 1];
  if (entry.detailFailure == DetailFailure::SizeQuery) return Fail(ERROR_INVALID_PARAMETER);
  const DWORD needed =
      static_cast<DWORD>(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) + entry.path.size() + 1);
  if (detail == nullptr) {
    if (detailSize != 0) return Fail(kErrorInvalidUserBuffer);
    if (requiredSize != nullptr) *requiredSize = needed;
    return Fail(ERROR_INSUFFICIENT_BUFFER);
  }
  if (entry.detailFailure == DetailFailure::DataQuery) return Fail(ERROR_INVALID_PARAMETER);
  // The fixed part's size of this build, as the real service insists.
  if (detail->cbSize != sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) return Fail(kErrorInvalidUserBuffer);
  if (detailSize < needed) {
    if (requiredSize != nullptr) *requiredSize = needed;
    return Fail(ERROR_INSUFFICIENT_BUFFER);
  }
  if (deviceData != nullptr && deviceData->cbSize != sizeof(SP_DEVINFO_DATA)) return Fail(kErrorInvalidUserBuffer);
  std::memcpy(detail->DevicePath, entry.path.c_str(), entry.path.size() + 1);
  if (requiredSize != nullptr) *requiredSize = needed;
  if (deviceData != nullptr) {
    std::memset(&deviceData->ClassGuid, 0, sizeof deviceData->ClassGuid);
    deviceData->DevInst = entry.devInst;
    deviceData->Reserved = static_cast<ULONG_PTR>(entry.id);
  }
  SetError(ERROR_SUCCESS);
  return TRUE;
}

BOOL WINAPI SetupDiGetDeviceRegistryPropertyA(HDEVINFO setHandle, SP_DEVINFO_DATA* deviceData, DWORD property,
                                              DWORD* regType, BYTE* buffer, DWORD bufferSize, DWORD* requiredSize) {
  std::lock_guard lock(Mutex());
  PlatformState& state = State();
  auto set = state.sets.find(Key(setHandle));
  if (set == state.sets.end()) return Fail(ERROR_INVALID_HANDLE);
  if (deviceData == nullptr || deviceData->cbSize != sizeof(SP_DEVINFO_DATA)) return Fail(kErrorInvalidUserBuffer);
  const SetEntry* entry = nullptr;
  for (const SetEntry& candidate : set->second.entries) {
    if (candidate.devInst == deviceData->DevInst) entry = &candidate;
  }
  if (entry == nullptr) return Fail(kErrorNoSuchDevinst);
  const DeviceRecord& record = Record(state, entry->id);
  auto value = record.config.properties.find(property);
  if (value == record.config.properties.end()) return Fail(ERROR_INVALID_DATA);
  const DWORD size = static_cast<DWORD>(value->second.data.size());
  if (requiredSize != nullptr) *requiredSize = size;
  if (regType != nullptr) *regType = value->second.type;
  if (buffer == nullptr || bufferSize < size) return Fail(ERROR_INSUFFICIENT_BUFFER);
  if (size > 0) std::memcpy(buffer, value->second.data.data(), size);
  SetError(ERROR_SUCCESS);
  return TRUE;
}

BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO setHandle) {
  std::lock_guard lock(Mutex());
  PlatformState& state = State();
  if (state.sets.erase(Key(setHandle)) == 0) return Fail(ERROR_INVALID_HANDLE);
  return TRUE;
}

// --- HID services ---

// Requires the lock. The record of the device a usable handle is open on;
// nullptr, with the error to report, otherwise.
DeviceRecord* DeviceOf(PlatformState& state, HANDLE handle, DWORD& error) {
  auto file = FindFile(state, handle);
  if (!UsableFile(file, error)) return nullptr;
  return &Record(state, file->instance->id);
}

void WINAPI HidD_GetHidGuid(GUID* guid) {
  if (guid != nullptr) *guid = SimulatedPlatform::HidGuid();
}

BOOLEAN WINAPI HidD_GetAttributes(HANDLE handle, HIDD_ATTRIBUTES* attributes) {
  std::lock_guard lock(Mutex());
  DWORD error = 0;
  const DeviceRecord* record = DeviceOf(State(), handle, error);
  if (record == nullptr) return static_cast<BOOLEAN>(Fail(error));
  const DeviceConfig& config = record->config;
  if (config.attributesFail) return static_cast<BOOLEAN>(Fail(ERROR_GEN_FAILURE));
  attributes->Size = sizeof(HIDD_ATTRIBUTES);
  attributes->VendorID = config.vendorId;
  attributes->ProductID = config.productId;
  attributes->VersionNumber = config.versionNumber;
  return TRUE;
}

BOOLEAN WINAPI HidD_GetPreparsedData(HANDLE handle, PHIDP_PREPARSED_DATA* data) {
  std::lock_guard lock(Mutex());
  PlatformState& state = State();
  DWORD error = 0;
  const DeviceRecord* record = DeviceOf(state, handle, error);
  if (record == nullptr) return static_cast<BOOLEAN>(Fail(error));
  const DeviceConfig& config = record->config;
  if (config.preparsedDataFails) return static_cast<BOOLEAN>(Fail(ERROR_GEN_FAILURE));
  auto* block = new PreparsedBlock;
  block->caps = CapsOf(config);
  state.preparsed.insert(block);
  *data = reinterpret_cast<PHIDP_PREPARSED_DATA>(block);
  return TRUE;
}

BOOLEAN WINAPI HidD_FreePreparsedData(PHIDP_PREPARSED_DATA data) {
  std::lock_guard lock(Mutex());
  PlatformState& state = State();
  auto* block = reinterpret_cast<PreparsedBlock*>(data);
  if (state.preparsed.erase(block) == 0) return static_cast<BOOLEAN>(Fail(ERROR_INVALID_PARAMETER));
  delete block;
  return TRUE;
}

NTSTATUS WINAPI HidP_GetCaps(PHIDP_PREPARSED_DATA data, HIDP_CAPS* caps) {
  std::lock_guard lock(Mutex());
  PlatformState& state = State();
  auto* block = reinterpret_cast<PreparsedBlock*>(data);
  if (state.preparsed.count(block) == 0 || block->magic != kPreparsedMagic) return HIDP_STATUS_INVALID_PREPARSED_DATA;
  *caps = block->caps;
  return HIDP_STATUS_SUCCESS;
}

BOOLEAN WINAPI HidD_GetProductString(HANDLE handle, void* buffer, ULONG length) {
  std::lock_guard lock(Mutex());
  DWORD error = 0;
  DeviceRecord* record = DeviceOf(State(), handle, error);
  if (record == nullptr) return static_cast<BOOLEAN>(Fail(error));
  ++record->productStringQueries;
  if (record->config.productStringFails) return static_cast<BOOLEAN>(Fail(ERROR_GEN_FAILURE));
  const std::size_t room = length / sizeof(char16_t);
  const std::u16string& text = record->config.productString;
  const std::size_t units = std::min(room, text.size());
  std::memcpy(buffer, text.data(), units * sizeof(char16_t));
  if (units < room) static_cast<char16_t*>(buffer)[units] = 0;
  return TRUE;
}

// --- File services ---

HANDLE WINAPI CreateFileA(const char* name, DWORD access, DWORD, SECURITY_ATTRIBUTES*, DWORD, DWORD flags, HANDLE) {
  RunHook(&PlatformState::beforeOpen);
  std::lock_guard lock(Mutex());
  PlatformState& state = State();
  for (auto& [id, record] : state.devices) {
    if (name == nullptr || record.config.path != name) continue;
    ++record.openAttempts;
    if (!record.current || !record.current->plugged) break;
    if (record.config.open == OpenPolicy::Never || (record.config.open == OpenPolicy::QueryOnly && access != 0)) {
      SetError(ERROR_ACCESS_DENIED);
      return INVALID_HANDLE_VALUE;
    }
    auto file = std::make_shared<OpenFile>();
    file->instance = record.current;
    file->access = access;
    file->flags = flags;
    file->openedAt = Clock::now();
    HANDLE handle = NewHandle(state);
    state.files[Key(handle)] = std::move(file);
    SetError(ERROR_SUCCESS);
    return handle;
  }
  SetError(ERROR_FILE_NOT_FOUND);
  return INVALID_HANDLE_VALUE;
}

BOOL WINAPI CloseHandle(HANDLE handle) {
  {
    std::lock_guard lock(Mutex());
    PlatformState& state = State();
    auto it = state.files.find(Key(handle));
    if (it == state.files.end()) return Fail(ERROR_INVALID_HANDLE);
    std::shared_ptr<OpenFile> file = it->second;
    file->closed = true;
    state.files.erase(it);
    if (state.reuseHandles) state.closedHandles.push_back(Key(handle));
    for (std::size_t i = state.pending.size(); i-- > 0;) {
      if (state.pending[i].file == file) Complete(state, i, ERROR_OPERATION_ABORTED, 0);
    }
    Changed().notify_all();
  }
  RunHook(&PlatformState::afterClose);
  return TRUE;
}

BOOL WINAPI ReadFile(HANDLE handle, void* buffer, DWORD count, DWORD* read, OVERLAPPED* overlapped) {
  std::unique_lock lock(Mutex());
  PlatformState& state = State();
  auto file = FindFile(state, handle);
  DWORD error = 0;
  if (!UsableFile(file, error)) return Fail(error);
  if (overlapped != nullptr || (file->flags & FILE_FLAG_OVERLAPPED)) return Fail(ERROR_INVALID_PARAMETER);
  if ((file->access & GENERIC_READ) == 0) return Fail(ERROR_ACCESS_DENIED);
  if (count < Record(state, file->instance->id).config.inputReportLength) return Fail(kErrorInvalidUserBuffer);
  for (;;) {
    Pump(state);
    if (file->closed) return Fail(ERROR_OPERATION_ABORTED);
    if (!file->instance->plugged) return Fail(ERROR_DEVICE_NOT_CONNECTED);
    if (!file->input.empty()) {
      std::vector<BYTE> report = std::move(file->input.front());
      file->input.pop_front();
      const DWORD bytes = std::min<DWORD>(count, static_cast<DWORD>(report.size()));
      if (bytes > 0) std::memcpy(buffer, report.data(), bytes);
      if (read != nullptr) *read = bytes;
      SetError(ERROR_SUCCESS);
      return TRUE;
    }
    const Clock::time_point next = NextDue(state);
    if (next == Clock::time_point::max()) {
      Changed().wait(lock);
    } else {
      Changed().wait_until(lock, next);
    }
  }
}

BOOL WINAPI WriteFile(HANDLE handle, const void* buffer, DWORD count, DWORD* written, OVERLAPPED* overlapped) {
  Responder responder;
  std::vector<BYTE> request;
  DeviceId id = 0;
  {
    std::lock_guard lock(Mutex());
    PlatformState& state = State();
    auto file = FindFile(state, handle);
    DWORD error = 0;
    if (!UsableFile(file, error)) return Fail(error);
    if (overlapped != nullptr || (file->flags & FILE_FLAG_OVERLAPPED)) return Fail(ERROR_INVALID_PARAMETER);
    if ((file->access & GENERIC_WRITE) == 0) return Fail(ERROR_ACCESS_DENIED);
    id = file->instance->id;
    DeviceRecord& record = Record(state, id);
    if (record.config.outputReportLength == 0 || count != record.config.outputReportLength) {
      return Fail(kErrorInvalidUserBuffer);
    }
    const BYTE* bytes = static_cast<const BYTE*>(buffer);
    request.assign(bytes, bytes + count);
    record.writes.push_back(request);
    responder = record.responder;
    if (written != nullptr) *written = count;
  }
  if (responder) {
    std::optional<SimulatedReport> answer = responder(request);
    if (answer) {
      std::lock_guard lock(Mutex());
      Schedule(State(), id, std::move(answer->bytes), answer->delay);
    }
  }
  SetError(ERROR_SUCCESS);
  return TRUE;
}

BOOL WINAPI ReadFileEx(HANDLE handle, void* buffer, DWORD count, OVERLAPPED* overlapped,
                       LPOVERLAPPED_COMPLETION_ROUTINE routine) {
  RunHook(&PlatformState::beforeRead);
  std::lock_guard lock(Mutex());
  PlatformState& state = State();
  auto file = FindFile(state, handle);
  DWORD error = 0;
  if (!UsableFile(file, error)) return Fail(error);
  if (overlapped == nullptr || (file->flags & FILE_FLAG_OVERLAPPED) == 0) return Fail(ERROR_INVALID_PARAMETER);
  if ((file->access & GENERIC_READ) == 0) return Fail(ERROR_ACCESS_DENIED);
  if (count < Record(state, file->instance->id).config.inputReportLength) return Fail(kErrorInvalidUserBuffer);
  overlapped->Internal = kPending;
  overlapped->InternalHigh = 0;
  state.pending.push_back(
      PendingRead{file, Key(handle), static_cast<BYTE*>(buffer), count, overlapped, routine, CurrentQueue(state)});
  Pump(state);
  Changed().notify_all();
  SetError(ERROR_SUCCESS);
  return TRUE;
}

DWORD WINAPI SleepEx(DWORD milliseconds, BOOL alertable) {
  const Clock::time_point deadline =
      milliseconds == INFINITE ? Clock::time_point::max() : Clock::now() + std::chrono::milliseconds(milliseconds);
  std::unique_lock lock(Mutex());
  for (;;) {
    if (g_state == nullptr) {
      lock.unlock();
      if (deadline != Clock::time_point::max()) std::this_thread::sleep_until(deadline);
      return 0;
    }
    PlatformState& state = *g_state;
    Pump(state);
    if (alertable) {
      ApcQueue* queue = CurrentQueue(state);
      if (!queue->apcs.empty()) {
        std::deque<Apc> due;
        due.swap(queue->apcs);
        lock.unlock();
        for (const Apc& apc : due) apc.routine(apc.error, apc.bytes, apc.overlapped);
        return WAIT_IO_COMPLETION;
      }
    }
    const Clock::time_point now = Clock::now();
    if (now >= deadline) return 0;
    Changed().wait_until(lock, std::min(deadline, NextDue(state)));
  }
}

BOOL WINAPI GetOverlappedResult(HANDLE handle, OVERLAPPED* overlapped, DWORD* transferred, BOOL wait) {
  std::unique_lock lock(Mutex());
  PlatformState& state = State();
  if (state.files.find(Key(handle)) == state.files.end()) return Fail(ERROR_INVALID_HANDLE);
  while (overlapped->Internal == kPending) {
    if (!wait) return Fail(ERROR_IO_INCOMPLETE);
    Pump(state);
    if (overlapped->Internal != kPending) break;
    const Clock::time_point next = NextDue(state);
    if (next == Clock::time_point::max()) {
      Changed().wait(lock);
    } else {
      Changed().wait_until(lock, next);
    }
  }
  if (transferred != nullptr) *transferred = static_cast<DWORD>(overlapped->InternalHigh);
  if (overlapped->Internal != ERROR_SUCCESS) return Fail(static_cast<DWORD>(overlapped->Internal));
  SetError(ERROR_SUCCESS);
  return TRUE;
}

BOOL WINAPI CancelIo(HANDLE handle) {
  std::lock_guard lock(Mutex());
  PlatformState& state = State();
  ++state.cancelIoCalls;
  if (!state.cancelIoAvailable) return Fail(ERROR_NOT_SUPPORTED);
  auto file = FindFile(state, handle);
  if (!file) return Fail(ERROR_INVALID_HANDLE);
  ApcQueue* caller = CurrentQueue(state);
  for (std::size_t i = state.pending.size(); i-- > 0;) {
    if (state.pending[i].file == file && state.pending[i].issuer == caller) {
      Complete(state, i, ERROR_OPERATION_ABORTED, 0);
    }
  }
  SetError(ERROR_SUCCESS);
  return TRUE;
}

DWORD WINAPI GetLastError() { return t_lastError; }

// --- Device holds ---

// Answers at once instead of waiting: a hold another program has is never
// given up here, and the wait asked for is recorded.
HANDLE WINAPI HoldDevice(const char* path, DWORD milliseconds) {
  std::lock_guard lock(Mutex());
  PlatformState& state = State();
  for (auto& [id, record] : state.devices) {
    if (path == nullptr || record.config.path != path) continue;
    if (!record.current || !record.current->plugged) break;
    record.lastHoldWait = milliseconds;
    const bool heldHere =
        std::any_of(state.holds.begin(), state.holds.end(), [id = id](const auto& hold) { return hold.second == id; });
    if (record.heldElsewhere || heldHere) {
      SetError(ERROR_TIMEOUT);
      return INVALID_HANDLE_VALUE;
    }
    HANDLE handle = NewHandle(state);
    state.holds[Key(handle)] = id;
    SetError(ERROR_SUCCESS);
    return handle;
  }
  SetError(ERROR_FILE_NOT_FOUND);
  return INVALID_HANDLE_VALUE;
}

BOOL WINAPI ReleaseDeviceHold(HANDLE hold) {
  std::lock_guard lock(Mutex());
  return State().holds.erase(Key(hold)) == 1 ? TRUE : Fail(ERROR_INVALID_HANDLE);
}

// One field of the state, read or set under the lock.
template <typename T>
T Get(T PlatformState::*field) {
  std::lock_guard lock(Mutex());
  return State().*field;
}
template <typename T>
void Put(T PlatformState::*field, T value) {
  std::lock_guard lock(Mutex());
  State().*field = std::move(value);
}
void Bump(int PlatformState::*counter) {
  std::lock_guard lock(Mutex());
  ++(State().*counter);
}

// Counts a group's load and binds it, unless the platform is set to refuse.
template <typename Group>
bool LoadCounted(int PlatformState::*loads, bool PlatformState::*loadable, Group& group, const Group& services) {
  std::lock_guard lock(Mutex());
  PlatformState& state = State();
  ++(state.*loads);
  if (!(state.*loadable)) return false;
  group = services;
  return true;
}

}  // namespace

// --- RegistryValue ---

RegistryValue RegistryValue::Text(const std::string& text) {
  RegistryValue value;
  value.type = REG_SZ;
  value.data.assign(text.begin(), text.end());
  value.data.push_back(0);
  return value;
}

RegistryValue RegistryValue::TextList(const std::vector<std::string>& texts) {
  RegistryValue value;
  value.type = REG_MULTI_SZ;
  for (const std::string& text : texts) {
    value.data.insert(value.data.end(), text.begin(), text.end());
    value.data.push_back(0);
  }
  value.data.push_back(0);
  return value;
}

RegistryValue RegistryValue::Number(DWORD number) {
  RegistryValue value;
  value.type = REG_DWORD;
  value.data.resize(sizeof number);
  std::memcpy(value.data.data(), &number, sizeof number);
  return value;
}

RegistryValue RegistryValue::Binary(std::vector<BYTE> bytes) {
  RegistryValue value;
  value.type = REG_BINARY;
  value.data = std::move(bytes);
  return value;
}

// --- SimulatedPlatform ---

GUID SimulatedPlatform::HidGuid() { return lumetra::test::kHidInterfaceClass; }

SimulatedPlatform::SimulatedPlatform() {
  {
    std::lock_guard lock(Mutex());
    if (g_state != nullptr) throw std::logic_error("a SimulatedPlatform is installed already");
    g_state = new PlatformState;
  }
  previous_ = hid::SetServiceProvider(this);
}

SimulatedPlatform::~SimulatedPlatform() {
  hid::SetServiceProvider(previous_);
  std::lock_guard lock(Mutex());
  // Completions still queued for some thread would point into this run.
  for (ApcQueue* queue : g_state->queues) queue->apcs.clear();
  for (PreparsedBlock* block : g_state->preparsed) delete block;
  delete g_state;
  g_state = nullptr;
  Changed().notify_all();
}

DeviceId SimulatedPlatform::AddDevice(DeviceConfig config) {
  std::lock_guard lock(Mutex());
  PlatformState& state = State();
  const DeviceId id = state.nextId++;
  if (config.devInst == 0) config.devInst = state.nextDevInst++;
  if (config.path.empty()) {
    char path[160];
    std::snprintf(path, sizeof path, "\\\\?\\hid#vid_%04x&pid_%04x#sim&%d#{4d1e55b2-f16f-11cf-88cb-001111000030}",
                  static_cast<unsigned>(config.vendorId), static_cast<unsigned>(config.productId), id);
    config.path = path;
  }
  DeviceRecord record;
  record.config = std::move(config);
  record.current = std::make_shared<Instance>(Instance{id, true});
  state.devices.emplace(id, std::move(record));
  state.order.push_back(id);
  return id;
}

void SimulatedPlatform::Unplug(DeviceId id) {
  std::lock_guard lock(Mutex());
  PlatformState& state = State();
  DeviceRecord& record = Record(state, id);
  if (!record.current || !record.current->plugged) return;
  record.current->plugged = false;
  record.scheduled.clear();
  state.order.erase(std::remove(state.order.begin(), state.order.end(), id), state.order.end());
  for (std::size_t i = state.pending.size(); i-- > 0;) {
    if (state.pending[i].file->instance == record.current) Complete(state, i, ERROR_DEVICE_NOT_CONNECTED, 0);
  }
  Changed().notify_all();
}

void SimulatedPlatform::Plug(DeviceId id) {
  std::lock_guard lock(Mutex());
  PlatformState& state = State();
  DeviceRecord& record = Record(state, id);
  if (record.current && record.current->plugged) return;
  record.current = std::make_shared<Instance>(Instance{id, true});
  state.order.push_back(id);
}

bool SimulatedPlatform::IsPlugged(DeviceId id) const {
  std::lock_guard lock(Mutex());
  const DeviceRecord& record = Record(State(), id);
  return record.current && record.current->plugged;
}

void SimulatedPlatform::Configure(DeviceId id, const std::function<void(DeviceConfig&)>& change) {
  std::lock_guard lock(Mutex());
  change(Record(State(), id).config);
}

DeviceConfig SimulatedPlatform::Config(DeviceId id) const {
  std::lock_guard lock(Mutex());
  return Record(State(), id).config;
}

std::string SimulatedPlatform::PathOf(DeviceId id) const { return Config(id).path; }
DWORD SimulatedPlatform::DevInstOf(DeviceId id) const { return Config(id).devInst; }

void SimulatedPlatform::QueueInput(DeviceId id, std::vector<BYTE> report, std::chrono::milliseconds delay) {
  std::lock_guard lock(Mutex());
  Schedule(State(), id, std::move(report), delay);
}

void SimulatedPlatform::SetResponder(DeviceId id, Responder responder) {
  std::lock_guard lock(Mutex());
  Record(State(), id).responder = std::move(responder);
}

std::vector<std::vector<BYTE>> SimulatedPlatform::Writes(DeviceId id) const {
  std::lock_guard lock(Mutex());
  return Record(State(), id).writes;
}

int SimulatedPlatform::OpenHandles(DeviceId id) const {
  std::lock_guard lock(Mutex());
  int count = 0;
  for (const auto& [key, file] : State().files) count += file->instance->id == id ? 1 : 0;
  return count;
}

void SimulatedPlatform::SetHeldElsewhere(DeviceId id, bool held) {
  std::lock_guard lock(Mutex());
  Record(State(), id).heldElsewhere = held;
}

bool SimulatedPlatform::HeldHere(DeviceId id) const {
  std::lock_guard lock(Mutex());
  const auto& holds = State().holds;
  return std::any_of(holds.begin(), holds.end(), [id](const auto& hold) { return hold.second == id; });
}

DWORD SimulatedPlatform::LastHoldWait(DeviceId id) const {
  std::lock_guard lock(Mutex());
  return Record(State(), id).lastHoldWait;
}

int SimulatedPlatform::OpenAttempts(DeviceId id) const {
  std::lock_guard lock(Mutex());
  return Record(State(), id).openAttempts;
}

int SimulatedPlatform::ProductStringQueries(DeviceId id) const {
  std::lock_guard lock(Mutex());
  return Record(State(), id).productStringQueries;
}

int SimulatedPlatform::PendingReads(DeviceId id) const {
  std::lock_guard lock(Mutex());
  int count = 0;
  for (const PendingRead& read : State().pending) count += read.file->instance->id == id ? 1 : 0;
  return count;
}

bool SimulatedPlatform::WaitForPendingRead(DeviceId id, std::chrono::milliseconds timeout) const {
  const Clock::time_point deadline = Clock::now() + timeout;
  std::unique_lock lock(Mutex());
  for (;;) {
    for (const PendingRead& read : State().pending) {
      if (read.file->instance->id == id) return true;
    }
    if (Changed().wait_until(lock, deadline) == std::cv_status::timeout) {
      for (const PendingRead& read : State().pending) {
        if (read.file->instance->id == id) return true;
      }
      return false;
    }
  }
}

int SimulatedPlatform::TotalOpenHandles() const {
  std::lock_guard lock(Mutex());
  return static_cast<int>(State().files.size());
}

int SimulatedPlatform::LivePreparsedData() const {
  std::lock_guard lock(Mutex());
  return static_cast<int>(State().preparsed.size());
}

int SimulatedPlatform::LiveDeviceInfoSets() const {
  std::lock_guard lock(Mutex());
  return static_cast<int>(State().sets.size());
}

int SimulatedPlatform::CancelIoCalls() const { return Get(&PlatformState::cancelIoCalls); }

void SimulatedPlatform::SetSetupServicesLoadable(bool loadable) { Put(&PlatformState::setupLoadable, loadable); }

void SimulatedPlatform::SetHidServicesLoadable(bool loadable) { Put(&PlatformState::hidLoadable, loadable); }

void SimulatedPlatform::SetClassDevsFails(bool fails) { Put(&PlatformState::classDevsFails, fails); }

void SimulatedPlatform::SetCancelIoAvailable(bool available) { Put(&PlatformState::cancelIoAvailable, available); }

void SimulatedPlatform::SetAfterCloseHook(std::function<void()> hook) {
  Put(&PlatformState::afterClose, std::move(hook));
}

void SimulatedPlatform::SetBeforeOpenHook(std::function<void()> hook) {
  Put(&PlatformState::beforeOpen, std::move(hook));
}

void SimulatedPlatform::SetBeforeReadHook(std::function<void()> hook) {
  Put(&PlatformState::beforeRead, std::move(hook));
}

void SimulatedPlatform::SetHandleValuesReused(bool reused) { Put(&PlatformState::reuseHandles, reused); }

int SimulatedPlatform::SetupLoads() const { return Get(&PlatformState::setupLoads); }
int SimulatedPlatform::SetupFrees() const { return Get(&PlatformState::setupFrees); }
int SimulatedPlatform::HidLoads() const { return Get(&PlatformState::hidLoads); }
int SimulatedPlatform::HidFrees() const { return Get(&PlatformState::hidFrees); }
DWORD SimulatedPlatform::LastClassDevsFlags() const { return Get(&PlatformState::lastClassDevsFlags); }

bool SimulatedPlatform::LoadSetupServices(hid::ServiceTable::Setup& group) {
  return LoadCounted(&PlatformState::setupLoads, &PlatformState::setupLoadable, group,
                     {LUMETRA_SETUP_SERVICES(LUMETRA_ENTRY_OF_SAME_NAME)});
}

void SimulatedPlatform::FreeSetupServices(hid::ServiceTable::Setup&) { Bump(&PlatformState::setupFrees); }

bool SimulatedPlatform::LoadHidServices(hid::ServiceTable::Hid& group) {
  return LoadCounted(&PlatformState::hidLoads, &PlatformState::hidLoadable, group,
                     {LUMETRA_HID_SERVICES(LUMETRA_ENTRY_OF_SAME_NAME)});
}

void SimulatedPlatform::FreeHidServices(hid::ServiceTable::Hid&) { Bump(&PlatformState::hidFrees); }

void SimulatedPlatform::BindFileServices(hid::ServiceTable::File& group) {
  group = {LUMETRA_FILE_SERVICES(LUMETRA_ENTRY_OF_SAME_NAME)};
}

void SimulatedPlatform::BindHoldServices(hid::ServiceTable::Hold& group) {
  group = {LUMETRA_HOLD_SERVICES(LUMETRA_ENTRY_OF_SAME_NAME)};
}

}  // namespace simulated_hid
