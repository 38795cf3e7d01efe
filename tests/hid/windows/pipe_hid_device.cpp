#include "tests/hid/windows/pipe_hid_device.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

#include "hid/windows/service_groups.h"
#include "tests/support/interface_scan.h"

namespace wintest {
namespace {

// Each opening of the device path takes one server end; a test opens it a
// few times per scan and per reader.
constexpr int kPipeEnds = 32;
constexpr DWORD kPipeBuffer = 4096;

const HDEVINFO kDeviceSet = reinterpret_cast<HDEVINFO>(static_cast<std::uintptr_t>(0x5E7));

// The device's services, each named as the entry point it fills.

// Preparsed data are opaque to the layer; this block only has to be there.
unsigned char g_preparsed[16] = {'p', 'i', 'p', 'e'};
constexpr char16_t kProduct[] = u"Pipe HID device";

PipeHidDevice* g_device = nullptr;
std::atomic<bool> g_present{true};
std::atomic<int> g_cancels{0};
std::atomic<int> g_read_starts{0};
std::atomic<int> g_alertable_waits{0};

HDEVINFO WINAPI SetupDiGetClassDevsA(const GUID*, const char*, HWND, DWORD) { return kDeviceSet; }

BOOL WINAPI SetupDiEnumDeviceInterfaces(HDEVINFO set, SP_DEVINFO_DATA*, const GUID* guid, DWORD index,
                                        SP_DEVICE_INTERFACE_DATA* data) {
  if (set != kDeviceSet || data == nullptr || data->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA)) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (index > 0 || !g_present.load()) {
    ::SetLastError(ERROR_NO_MORE_ITEMS);
    return FALSE;
  }
  data->InterfaceClassGuid = *guid;
  data->Flags = SPINT_ACTIVE;
  data->Reserved = 0;
  return TRUE;
}

BOOL WINAPI SetupDiGetDeviceInterfaceDetailA(HDEVINFO, SP_DEVICE_INTERFACE_DATA*,
                                             SP_DEVICE_INTERFACE_DETAIL_DATA_A* detail, DWORD size, DWORD* required,
                                             SP_DEVINFO_DATA* device) {
  const std::string& path = g_device->Path();
  const DWORD needed = static_cast<DWORD>(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) + path.size() + 1);
  if (required != nullptr) *required = needed;
  if (detail == nullptr || size < needed) {
    ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  if (detail->cbSize != sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) {
    ::SetLastError(ERROR_INVALID_USER_BUFFER);
    return FALSE;
  }
  std::memcpy(detail->DevicePath, path.c_str(), path.size() + 1);
  if (device != nullptr) device->DevInst = PipeHidDevice::kDevInst;
  return TRUE;
}

BOOL WINAPI SetupDiGetDeviceRegistryPropertyA(HDEVINFO, SP_DEVINFO_DATA*, DWORD, DWORD*, BYTE*, DWORD, DWORD*) {
  ::SetLastError(ERROR_INVALID_DATA);
  return FALSE;
}

BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO set) { return set == kDeviceSet; }

void WINAPI HidD_GetHidGuid(GUID* guid) { *guid = lumetra::test::kHidInterfaceClass; }

// Only a handle to the pipe is a handle to this device.
bool IsPipeHandle(HANDLE handle) { return ::GetFileType(handle) == FILE_TYPE_PIPE; }

BOOLEAN WINAPI HidD_GetAttributes(HANDLE handle, HIDD_ATTRIBUTES* attributes) {
  if (!IsPipeHandle(handle)) return FALSE;
  attributes->VendorID = PipeHidDevice::kVendorId;
  attributes->ProductID = PipeHidDevice::kProductId;
  attributes->VersionNumber = 0x0100;
  return TRUE;
}

BOOLEAN WINAPI HidD_GetPreparsedData(HANDLE handle, PHIDP_PREPARSED_DATA* data) {
  if (!IsPipeHandle(handle)) return FALSE;
  *data = reinterpret_cast<PHIDP_PREPARSED_DATA>(g_preparsed);
  return TRUE;
}

BOOLEAN WINAPI HidD_FreePreparsedData(PHIDP_PREPARSED_DATA data) {
  return data == reinterpret_cast<PHIDP_PREPARSED_DATA>(g_preparsed);
}

NTSTATUS WINAPI HidP_GetCaps(PHIDP_PREPARSED_DATA data, HIDP_CAPS* caps) {
  if (data != reinterpret_cast<PHIDP_PREPARSED_DATA>(g_preparsed)) return HIDP_STATUS_INVALID_PREPARSED_DATA;
  std::memset(caps, 0, sizeof *caps);
  caps->UsagePage = 0xFF00;
  caps->Usage = 1;
  caps->InputReportByteLength = PipeHidDevice::kInputReportLength;
  caps->OutputReportByteLength = PipeHidDevice::kOutputReportLength;
  return HIDP_STATUS_SUCCESS;
}

BOOLEAN WINAPI HidD_GetProductString(HANDLE handle, void* buffer, ULONG length) {
  if (!IsPipeHandle(handle) || length < sizeof kProduct) return FALSE;
  std::memcpy(buffer, kProduct, sizeof kProduct);
  return TRUE;
}

BOOL WINAPI CountedCancelIo(HANDLE file) {
  ++g_cancels;
  return hid::windows::CancelIoOnDemand(file);
}

BOOL WINAPI CountedReadFileEx(HANDLE file, void* buffer, DWORD length, OVERLAPPED* overlapped,
                              LPOVERLAPPED_COMPLETION_ROUTINE routine) {
  const BOOL started = ::ReadFileEx(file, buffer, length, overlapped, routine);
  if (started) ++g_read_starts;
  return started;
}

DWORD WINAPI CountedSleepEx(DWORD milliseconds, BOOL alertable) {
  if (alertable) ++g_alertable_waits;
  return ::SleepEx(milliseconds, alertable);
}

}  // namespace

PipeHidDevice::PipeHidDevice() {
  if (g_device != nullptr) throw std::logic_error("a PipeHidDevice is installed already");
  static int serial = 0;
  path_ = "\\\\.\\pipe\\lumetra-hid-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++serial);
  for (int i = 0; i < kPipeEnds; ++i) {
    HANDLE end = ::CreateNamedPipeA(path_.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT,
                                    PIPE_UNLIMITED_INSTANCES, kPipeBuffer, kPipeBuffer, 0, nullptr);
    if (end == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create the device's pipe");
    ends_.push_back(end);
  }
  g_device = this;
  g_present.store(true);
  previous_ = hid::SetServiceProvider(this);
}

PipeHidDevice::~PipeHidDevice() {
  hid::SetServiceProvider(previous_);
  for (HANDLE end : ends_) ::CloseHandle(end);
  g_device = nullptr;
}

void PipeHidDevice::SetPresent(bool present) { g_present.store(present); }
bool PipeHidDevice::Present() const { return g_present.load(); }

int PipeHidDevice::Feed(const std::vector<BYTE>& report) {
  int taken = 0;
  for (HANDLE end : ends_) {
    DWORD written = 0;
    // An end with no client yet answers ERROR_PIPE_LISTENING, one whose
    // client has gone ERROR_NO_DATA; neither blocks.
    if (::WriteFile(end, report.data(), static_cast<DWORD>(report.size()), &written, nullptr) &&
        written == report.size()) {
      ++taken;
    }
  }
  return taken;
}

bool PipeHidDevice::FeedOne(const std::vector<BYTE>& report, DWORD milliseconds) {
  const ULONGLONG deadline = ::GetTickCount64() + milliseconds;
  for (;;) {
    const int taken = Feed(report);
    if (taken > 0) return taken == 1;
    if (::GetTickCount64() >= deadline) return false;
    ::Sleep(1);
  }
}

bool PipeHidDevice::LoadSetupServices(hid::ServiceTable::Setup& group) {
  group = {LUMETRA_SETUP_SERVICES(LUMETRA_ENTRY_OF_SAME_NAME)};
  return true;
}

void PipeHidDevice::FreeSetupServices(hid::ServiceTable::Setup& group) { group = {}; }

bool PipeHidDevice::LoadHidServices(hid::ServiceTable::Hid& group) {
  group = {LUMETRA_HID_SERVICES(LUMETRA_ENTRY_OF_SAME_NAME)};
  return true;
}

void PipeHidDevice::FreeHidServices(hid::ServiceTable::Hid& group) { group = {}; }

void PipeHidDevice::BindFileServices(hid::ServiceTable::File& group) {
  group = hid::windows::KernelFileServices();
  group.CancelIo = &CountedCancelIo;
  group.ReadFileEx = &CountedReadFileEx;
  group.SleepEx = &CountedSleepEx;
}

int PipeHidDevice::CancelIoCalls() const { return g_cancels.load(); }
int PipeHidDevice::ReadsStarted() const { return g_read_starts.load(); }
int PipeHidDevice::AlertableWaits() const { return g_alertable_waits.load(); }

}  // namespace wintest
