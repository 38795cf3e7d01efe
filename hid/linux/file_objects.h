// The objects behind the file handles that the Linux services hand out.
//
// A handle names a shared FileObject. Closing a handle takes it out of the
// table at once (a closed handle is invalid for every later call) while a
// read still pending on another thread keeps the object alive until that
// read has completed with an error. Handle values are never reused.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "hid/linux/report_descriptor.h"
#include "base/win32_types.h"

namespace hid::linux_backend {

// Win32 codes the Linux services return beyond the shared subset.
constexpr DWORD ERROR_INVALID_FUNCTION = 1;
constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
constexpr DWORD ERROR_TOO_MANY_OPEN_FILES = 4;
constexpr DWORD ERROR_SHARING_VIOLATION = 32;
constexpr DWORD ERROR_INVALID_USER_BUFFER = 1784;

// NTSTATUS values kept in OVERLAPPED::Internal, as Windows does.
constexpr ULONG_PTR kStatusSuccess = 0;
constexpr ULONG_PTR kStatusPending = 0x103;

struct FileObject {
  ~FileObject();

  std::string path;
  int fd = -1;  // -1 for a query-only handle: no data access at all
  bool readable = false;
  bool writable = false;
  // Signalled once the handle is closed, and never reset: wakes every wait
  // on this object so that pending reads end.
  int closed_event = -1;
  std::atomic<bool> closed{false};
  // The hidraw device's sysfs path, found at opening when udev is loaded;
  // it ties the handle to this plug-in of the device.
  std::string syspath;

  // What the report descriptor says, read once on first need.
  std::once_flag descriptor_once;
  std::optional<ReportDescriptorSummary> descriptor;
};

HANDLE RegisterFileObject(std::shared_ptr<FileObject> object);
std::shared_ptr<FileObject> LookupFileObject(HANDLE handle);
// Takes the handle out of the table; null if it was not there.
std::shared_ptr<FileObject> UnregisterFileObject(HANDLE handle);

// The report descriptor's summary for an object; empty when the descriptor
// cannot be had. Read through sysfs when udev is loaded, else from the node.
const std::optional<ReportDescriptorSummary>& DescriptorOf(FileObject& object);

void SetLastErrorCode(DWORD code);
DWORD LastErrorCode();
DWORD Win32ErrorFromErrno(int error);

// Status <-> Win32 code for completed overlapped reads.
ULONG_PTR StatusFromWin32(DWORD code);
DWORD Win32FromStatus(ULONG_PTR status);

// One input report from the object's node, in the Windows layout: the
// report-ID byte first (0 for devices that do not number their reports),
// padded with zeros to the input report length the descriptor gives.
// Returns ERROR_SUCCESS with the byte count, ERROR_IO_PENDING when no
// report is waiting, or the failure.
DWORD ReadOneReport(FileObject& object, void* buffer, DWORD size, DWORD* count);

// Whether a read may be started: the handle was opened for reading and the
// caller's buffer can take a whole input report. ERROR_SUCCESS, or the code.
DWORD CheckReadRequest(FileObject& object, const void* buffer, DWORD size);

// Whether a write may be made: the handle was opened for writing and the
// caller hands over exactly one output report of the length the descriptor
// gives. ERROR_SUCCESS, or the code (ERROR_INVALID_USER_BUFFER for a length
// that is not the output report's, as Windows gives).
DWORD CheckWriteRequest(FileObject& object, const void* buffer, DWORD size);

}  // namespace hid::linux_backend
