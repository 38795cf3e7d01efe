// CreateFileA, CloseHandle, synchronous ReadFile and WriteFile and
// GetLastError over hidraw nodes, with Windows' handle and error contracts.
#include <fcntl.h>
#include <linux/hidraw.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unordered_map>

#include "hid/linux/file_objects.h"
#include "hid/linux/hidraw_devices.h"
#include "hid/linux/overlapped_io.h"
#include "hid/linux/service_groups.h"

namespace hid::linux_backend {
namespace {

thread_local DWORD t_last_error = ERROR_SUCCESS;

struct HandleTable {
  std::mutex mutex;
  std::unordered_map<std::uintptr_t, std::shared_ptr<FileObject>> objects;
  // Handle values grow by 4 as Windows handles do and are never reused, so
  // a stale handle cannot reach a newer object.
  std::uintptr_t next = 0x1000;
};

HandleTable& Handles() {
  static HandleTable table;
  return table;
}

// hidraw hands out reports of at most this size.
constexpr std::size_t kMaxReportSize = 16384;
// Room for the longest report a capability record can describe (its
// 16-bit length), to which shorter reports are padded.
constexpr std::size_t kReportBufferSize = 0x10000;

bool NodeExists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

std::optional<std::vector<std::uint8_t>> DescriptorFromNode(int fd) {
  if (fd < 0) return std::nullopt;
  int size = 0;
  if (ioctl(fd, HIDIOCGRDESCSIZE, &size) < 0 || size <= 0 || size > HID_MAX_DESCRIPTOR_SIZE) return std::nullopt;
  hidraw_report_descriptor descriptor{};
  descriptor.size = static_cast<__u32>(size);
  if (ioctl(fd, HIDIOCGRDESC, &descriptor) < 0) return std::nullopt;
  return std::vector<std::uint8_t>(descriptor.value, descriptor.value + size);
}

std::optional<std::vector<std::uint8_t>> DescriptorFromSysfs(const FileObject& object) {
  const OwnUdevContext context;
  if (!context) return std::nullopt;
  const UdevApi& api = *context.Api();
  const UdevDevice device = object.syspath.empty() ? HidrawDeviceByNode(api, context.get(), object.path)
                                                   : DeviceBySyspath(api, context.get(), object.syspath);
  if (!device) return std::nullopt;
  return ReportDescriptorBytes(api, device.get());
}

HANDLE WINAPI CreateFileA(const char* lpFileName, DWORD dwDesiredAccess, DWORD /*dwShareMode*/,
                          SECURITY_ATTRIBUTES* /*lpSecurityAttributes*/, DWORD dwCreationDisposition,
                          DWORD /*dwFlagsAndAttributes*/, HANDLE /*hTemplateFile*/) {
  if (lpFileName == nullptr || *lpFileName == '\0') {
    SetLastErrorCode(ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  if (dwCreationDisposition != OPEN_EXISTING) {
    // Device nodes are never created through this service.
    SetLastErrorCode(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  auto object = std::make_shared<FileObject>();
  object->path = lpFileName;
  object->readable = (dwDesiredAccess & GENERIC_READ) != 0;
  object->writable = (dwDesiredAccess & GENERIC_WRITE) != 0;
  if (object->readable || object->writable) {
    const int mode = object->readable && object->writable ? O_RDWR : object->readable ? O_RDONLY : O_WRONLY;
    // Non-blocking: every wait is a poll that a close can interrupt. No
    // controlling terminal, whatever kind of node the path names.
    object->fd = open(lpFileName, mode | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (object->fd < 0) {
      SetLastErrorCode(Win32ErrorFromErrno(errno));
      return INVALID_HANDLE_VALUE;
    }
  } else {
    // Query access: the node must exist, but the caller may lack the right
    // to read it. The handle serves identity queries only.
    struct stat st {};
    if (stat(lpFileName, &st) != 0) {
      SetLastErrorCode(Win32ErrorFromErrno(errno));
      return INVALID_HANDLE_VALUE;
    }
  }
  object->closed_event = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (object->closed_event < 0) {
    SetLastErrorCode(Win32ErrorFromErrno(errno));
    return INVALID_HANDLE_VALUE;
  }
  if (const OwnUdevContext context; context) {
    if (const UdevDevice device = HidrawDeviceByNode(*context.Api(), context.get(), object->path)) {
      const char* syspath = context.Api()->udev_device_get_syspath(device.get());
      if (syspath != nullptr) object->syspath = syspath;
    }
  }
  return RegisterFileObject(std::move(object));
}

BOOL WINAPI CloseHandle(HANDLE hObject) {
  std::shared_ptr<FileObject> object = UnregisterFileObject(hObject);
  if (!object) {
    SetLastErrorCode(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  object->closed = true;
  const std::uint64_t one = 1;
  [[maybe_unused]] const ssize_t ignored = write(object->closed_event, &one, sizeof one);
  return TRUE;
}

// Waits until the node has something to read or the handle is closed.
// hung_up tells that the node reported a hang-up or an error rather than
// data: a read that then finds nothing means the device is gone.
DWORD WaitReadable(const FileObject& object, bool& hung_up) {
  for (;;) {
    pollfd fds[2] = {{object.fd, POLLIN, 0}, {object.closed_event, POLLIN, 0}};
    const int ready = poll(fds, 2, -1);
    if (ready < 0) {
      if (errno == EINTR) continue;
      return Win32ErrorFromErrno(errno);
    }
    if (object.closed || (fds[1].revents & POLLIN) != 0) return ERROR_OPERATION_ABORTED;
    if (fds[0].revents != 0) {
      hung_up = (fds[0].revents & POLLIN) == 0;
      return ERROR_SUCCESS;  // data, or a hang-up the read will report
    }
  }
}

BOOL WINAPI ReadFile(HANDLE hFile, void* lpBuffer, DWORD nNumberOfBytesToRead, DWORD* lpNumberOfBytesRead,
                     OVERLAPPED* lpOverlapped) {
  std::shared_ptr<FileObject> object = LookupFileObject(hFile);
  if (!object) {
    SetLastErrorCode(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (lpNumberOfBytesRead != nullptr) *lpNumberOfBytesRead = 0;
  if (lpOverlapped != nullptr) {
    // Overlapped reads go through ReadFileEx in this layer.
    SetLastErrorCode(ERROR_NOT_SUPPORTED);
    return FALSE;
  }
  if (const DWORD check = CheckReadRequest(*object, lpBuffer, nNumberOfBytesToRead); check != ERROR_SUCCESS) {
    SetLastErrorCode(check);
    return FALSE;
  }
  for (;;) {
    bool hung_up = false;
    if (const DWORD waited = WaitReadable(*object, hung_up); waited != ERROR_SUCCESS) {
      SetLastErrorCode(waited);
      return FALSE;
    }
    DWORD count = 0;
    DWORD result = ReadOneReport(*object, lpBuffer, nNumberOfBytesToRead, &count);
    if (result == ERROR_IO_PENDING && hung_up) result = ERROR_DEVICE_NOT_CONNECTED;
    if (result == ERROR_IO_PENDING) continue;  // another reader took it first
    if (result != ERROR_SUCCESS) {
      SetLastErrorCode(result);
      return FALSE;
    }
    if (lpNumberOfBytesRead != nullptr) *lpNumberOfBytesRead = count;
    return TRUE;
  }
}

BOOL WINAPI WriteFile(HANDLE hFile, const void* lpBuffer, DWORD nNumberOfBytesToWrite, DWORD* lpNumberOfBytesWritten,
                      OVERLAPPED* lpOverlapped) {
  std::shared_ptr<FileObject> object = LookupFileObject(hFile);
  if (!object) {
    SetLastErrorCode(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (lpNumberOfBytesWritten != nullptr) *lpNumberOfBytesWritten = 0;
  if (lpOverlapped != nullptr) {
    SetLastErrorCode(ERROR_NOT_SUPPORTED);
    return FALSE;
  }
  if (const DWORD check = CheckWriteRequest(*object, lpBuffer, nNumberOfBytesToWrite); check != ERROR_SUCCESS) {
    SetLastErrorCode(check);
    return FALSE;
  }
  // hidraw takes the report-ID byte first, 0 for unnumbered reports: the
  // same layout Windows callers use, so the buffer goes out unchanged.
  for (;;) {
    const ssize_t written = write(object->fd, lpBuffer, nNumberOfBytesToWrite);
    if (written >= 0) {
      if (lpNumberOfBytesWritten != nullptr) *lpNumberOfBytesWritten = static_cast<DWORD>(written);
      return TRUE;
    }
    if (errno == EINTR) continue;
    if (errno == EAGAIN) {
      pollfd fds[2] = {{object->fd, POLLOUT, 0}, {object->closed_event, POLLIN, 0}};
      if (poll(fds, 2, -1) < 0 && errno != EINTR) {
        SetLastErrorCode(Win32ErrorFromErrno(errno));
        return FALSE;
      }
      if (object->closed) {
        SetLastErrorCode(ERROR_OPERATION_ABORTED);
        return FALSE;
      }
      continue;
    }
    const int error = errno;
    SetLastErrorCode(error == EIO && !NodeExists(object->path) ? ERROR_DEVICE_NOT_CONNECTED
                                                               : Win32ErrorFromErrno(error));
    return FALSE;
  }
}

DWORD WINAPI GetLastError() { return t_last_error; }

}  // namespace

FileObject::~FileObject() {
  if (fd >= 0) close(fd);
  if (closed_event >= 0) close(closed_event);
}

HANDLE RegisterFileObject(std::shared_ptr<FileObject> object) {
  HandleTable& table = Handles();
  std::lock_guard lock(table.mutex);
  const std::uintptr_t value = table.next;
  table.next += 4;
  table.objects.emplace(value, std::move(object));
  return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<FileObject> LookupFileObject(HANDLE handle) {
  HandleTable& table = Handles();
  std::lock_guard lock(table.mutex);
  const auto found = table.objects.find(reinterpret_cast<std::uintptr_t>(handle));
  return found != table.objects.end() ? found->second : nullptr;
}

std::shared_ptr<FileObject> UnregisterFileObject(HANDLE handle) {
  HandleTable& table = Handles();
  std::lock_guard lock(table.mutex);
  const auto found = table.objects.find(reinterpret_cast<std::uintptr_t>(handle));
  if (found == table.objects.end()) return nullptr;
  std::shared_ptr<FileObject> object = std::move(found->second);
  table.objects.erase(found);
  return object;
}

const std::optional<ReportDescriptorSummary>& DescriptorOf(FileObject& object) {
  std::call_once(object.descriptor_once, [&object] {
    auto bytes = DescriptorFromSysfs(object);
    if (!bytes) bytes = DescriptorFromNode(object.fd);
    if (bytes) object.descriptor = ParseReportDescriptor(*bytes).summary;
  });
  return object.descriptor;
}

void SetLastErrorCode(DWORD code) { t_last_error = code; }
DWORD LastErrorCode() { return t_last_error; }

DWORD Win32ErrorFromErrno(int error) {
  switch (error) {
    case 0: return ERROR_SUCCESS;
    case EACCES:
    case EPERM:
    case EROFS: return ERROR_ACCESS_DENIED;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP: return ERROR_PATH_NOT_FOUND;
    case ENODEV:
    case ENXIO:
    case ESHUTDOWN: return ERROR_DEVICE_NOT_CONNECTED;
    case EBUSY: return ERROR_SHARING_VIOLATION;
    case EMFILE:
    case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EINVAL:
    case EFAULT: return ERROR_INVALID_PARAMETER;
    case ETIMEDOUT: return ERROR_SEM_TIMEOUT;
    case EBADF: return ERROR_INVALID_HANDLE;
    case ECANCELED: return ERROR_OPERATION_ABORTED;
    case EOPNOTSUPP:
    case ENOTTY: return ERROR_NOT_SUPPORTED;
    default: return ERROR_GEN_FAILURE;
  }
}

ULONG_PTR StatusFromWin32(DWORD code) {
  switch (code) {
    case ERROR_SUCCESS: return kStatusSuccess;
    case ERROR_OPERATION_ABORTED: return 0xC0000120;     // STATUS_CANCELLED
    case ERROR_DEVICE_NOT_CONNECTED: return 0xC000009D;  // STATUS_DEVICE_NOT_CONNECTED
    case ERROR_ACCESS_DENIED: return 0xC0000022;         // STATUS_ACCESS_DENIED
    case ERROR_INVALID_USER_BUFFER: return 0xC0000206;   // STATUS_INVALID_BUFFER_SIZE
    case ERROR_INVALID_HANDLE: return 0xC0000008;        // STATUS_INVALID_HANDLE
    default: return 0xC0000001;                          // STATUS_UNSUCCESSFUL
  }
}

DWORD Win32FromStatus(ULONG_PTR status) {
  switch (status) {
    case kStatusSuccess: return ERROR_SUCCESS;
    case 0xC0000120: return ERROR_OPERATION_ABORTED;
    case 0xC000009D: return ERROR_DEVICE_NOT_CONNECTED;
    case 0xC0000022: return ERROR_ACCESS_DENIED;
    case 0xC0000206: return ERROR_INVALID_USER_BUFFER;
    case 0xC0000008: return ERROR_INVALID_HANDLE;
    default: return ERROR_GEN_FAILURE;
  }
}

DWORD CheckReadRequest(FileObject& object, const void* buffer, DWORD size) {
  if (object.fd < 0 || !object.readable) return ERROR_ACCESS_DENIED;
  if (buffer == nullptr && size > 0) return ERROR_INVALID_PARAMETER;
  const auto& descriptor = DescriptorOf(object);
  // Windows refuses a buffer that cannot take a whole report before it
  // takes one from the device, so no report is lost to a short buffer.
  if (descriptor && size < descriptor->input_report_byte_length) return ERROR_INVALID_USER_BUFFER;
  if (size == 0) return ERROR_INVALID_USER_BUFFER;
  return ERROR_SUCCESS;
}

DWORD CheckWriteRequest(FileObject& object, const void* buffer, DWORD size) {
  if (object.fd < 0 || !object.writable) return ERROR_ACCESS_DENIED;
  if (buffer == nullptr && size > 0) return ERROR_INVALID_PARAMETER;
  const auto& descriptor = DescriptorOf(object);
  // Windows takes exactly one whole output report per write, and hidraw
  // would send whatever it is given: a shorter or longer write would reach
  // the device as a report it never declared.
  if (descriptor && size != descriptor->output_report_byte_length) return ERROR_INVALID_USER_BUFFER;
  if (size == 0) return ERROR_INVALID_USER_BUFFER;
  return ERROR_SUCCESS;
}

DWORD ReadOneReport(FileObject& object, void* buffer, DWORD size, DWORD* count) {
  *count = 0;
  thread_local std::vector<std::uint8_t> raw(kReportBufferSize);
  const auto& descriptor = DescriptorOf(object);
  const bool numbered = descriptor && descriptor->uses_report_ids;
  // Unnumbered reports arrive without their ID byte; keep room to put 0
  // in front of them.
  std::uint8_t* const data = raw.data() + (numbered ? 0 : 1);
  ssize_t got;
  do {
    got = read(object.fd, data, kMaxReportSize);
  } while (got < 0 && errno == EINTR);
  if (got < 0) {
    if (errno == EAGAIN) return ERROR_IO_PENDING;
    // hidraw fails a read with EIO only once its device is gone.
    return errno == EIO ? ERROR_DEVICE_NOT_CONNECTED : Win32ErrorFromErrno(errno);
  }
  if (got == 0) return ERROR_DEVICE_NOT_CONNECTED;  // the node hung up
  if (!numbered) raw[0] = 0;
  std::size_t length = static_cast<std::size_t>(got) + (numbered ? 0 : 1);
  // Windows hands out every input report at the full input length.
  const std::size_t full = descriptor ? descriptor->input_report_byte_length : 0;
  if (full > length) {
    std::fill(raw.begin() + static_cast<std::ptrdiff_t>(length), raw.begin() + static_cast<std::ptrdiff_t>(full), 0);
    length = full;
  }
  const std::size_t copied = std::min<std::size_t>(length, size);
  std::memcpy(buffer, raw.data(), copied);
  *count = static_cast<DWORD>(copied);
  return ERROR_SUCCESS;
}

// ReadFileEx, SleepEx, GetOverlappedResult and CancelIo come from
// overlapped_io.cpp.
ServiceTable::File FileServices() { return {LUMETRA_FILE_SERVICES(LUMETRA_ENTRY_OF_SAME_NAME)}; }

}  // namespace hid::linux_backend
