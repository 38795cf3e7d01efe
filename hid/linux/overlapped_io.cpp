// ReadFileEx, alertable SleepEx, GetOverlappedResult and CancelIo over
// hidraw nodes.
//
// Windows completes an overlapped read by queueing its completion routine to
// the thread that started it; the routine runs only while that thread waits
// alertably. Here each thread keeps its own list of pending reads, and an
// alertable SleepEx polls their nodes, completes what has arrived (or was
// cancelled, or whose handle was closed) and runs the routines itself.
#include <poll.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>
#include <vector>

#include "hid/linux/file_objects.h"
#include "hid/linux/overlapped_io.h"

namespace hid::linux_backend {
namespace {

struct PendingRead {
  std::shared_ptr<FileObject> object;
  HANDLE handle = nullptr;
  void* buffer = nullptr;
  DWORD size = 0;
  OVERLAPPED* overlapped = nullptr;
  LPOVERLAPPED_COMPLETION_ROUTINE routine = nullptr;
  bool completed = false;  // result stored; routine not yet run
  DWORD error = ERROR_SUCCESS;
  DWORD bytes = 0;
};

thread_local std::vector<PendingRead> t_pending;

void StoreResult(OVERLAPPED* overlapped, DWORD error, DWORD bytes) {
  __atomic_store_n(&overlapped->InternalHigh, static_cast<ULONG_PTR>(bytes), __ATOMIC_RELAXED);
  __atomic_store_n(&overlapped->Internal, StatusFromWin32(error), __ATOMIC_RELEASE);
}

void Complete(PendingRead& read, DWORD error, DWORD bytes) {
  read.completed = true;
  read.error = error;
  read.bytes = bytes;
  StoreResult(read.overlapped, error, bytes);
}

// Reads that can end without waiting: a closed handle ends its read.
void CompleteClosed() {
  for (PendingRead& read : t_pending) {
    if (!read.completed && read.object->closed) Complete(read, ERROR_OPERATION_ABORTED, 0);
  }
}

// Takes one report for each read whose node polled ready.
void CompleteReady(const std::vector<pollfd>& fds, const std::vector<std::size_t>& owners) {
  for (std::size_t i = 0; i < fds.size(); ++i) {
    if (fds[i].revents == 0 || owners[i] == SIZE_MAX) continue;
    PendingRead& read = t_pending[owners[i]];
    if (read.completed) continue;
    DWORD count = 0;
    DWORD result = ReadOneReport(*read.object, read.buffer, read.size, &count);
    // A hang-up with nothing left to read: the device is gone, and polling
    // again would only report the hang-up again.
    if (result == ERROR_IO_PENDING && (fds[i].revents & POLLIN) == 0) result = ERROR_DEVICE_NOT_CONNECTED;
    if (result != ERROR_IO_PENDING) Complete(read, result, count);
  }
}

// Runs the routines of completed reads, in the order the reads were
// started. A routine may start a new read: it joins the list for later.
bool DeliverCompleted() {
  std::vector<PendingRead> done;
  for (auto it = t_pending.begin(); it != t_pending.end();) {
    if (it->completed) {
      done.push_back(std::move(*it));
      it = t_pending.erase(it);
    } else {
      ++it;
    }
  }
  for (PendingRead& read : done) {
    if (read.routine != nullptr) read.routine(read.error, read.bytes, read.overlapped);
  }
  return !done.empty();
}

// Polls the nodes of this thread's pending reads, at most until the
// deadline; only_this limits the wait to one read. Returns false on time-out.
bool PollPending(std::chrono::steady_clock::time_point deadline, bool forever, const PendingRead* only_this) {
  std::vector<pollfd> fds;
  std::vector<std::size_t> owners;  // index into t_pending, SIZE_MAX for a close event
  for (std::size_t i = 0; i < t_pending.size(); ++i) {
    const PendingRead& read = t_pending[i];
    if (read.completed || (only_this != nullptr && &read != only_this)) continue;
    fds.push_back({read.object->fd, POLLIN, 0});
    owners.push_back(i);
    fds.push_back({read.object->closed_event, POLLIN, 0});
    owners.push_back(SIZE_MAX);
  }
  int timeout = -1;
  if (!forever) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    timeout = static_cast<int>(std::clamp<long long>(left.count(), 0, 0x7FFFFFFF));
  }
  const int ready = poll(fds.data(), fds.size(), timeout);
  if (ready < 0) return errno == EINTR;
  if (ready == 0) return false;
  CompleteReady(fds, owners);
  CompleteClosed();
  return true;
}

}  // namespace

BOOL WINAPI ReadFileEx(HANDLE hFile, void* lpBuffer, DWORD nNumberOfBytesToRead, OVERLAPPED* lpOverlapped,
                       LPOVERLAPPED_COMPLETION_ROUTINE lpCompletionRoutine) {
  std::shared_ptr<FileObject> object = LookupFileObject(hFile);
  if (!object) {
    SetLastErrorCode(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (lpOverlapped == nullptr) {
    SetLastErrorCode(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (const DWORD check = CheckReadRequest(*object, lpBuffer, nNumberOfBytesToRead); check != ERROR_SUCCESS) {
    SetLastErrorCode(check);
    return FALSE;
  }
  lpOverlapped->InternalHigh = 0;
  __atomic_store_n(&lpOverlapped->Internal, kStatusPending, __ATOMIC_RELEASE);
  PendingRead read;
  read.object = std::move(object);
  read.handle = hFile;
  read.buffer = lpBuffer;
  read.size = nNumberOfBytesToRead;
  read.overlapped = lpOverlapped;
  read.routine = lpCompletionRoutine;
  t_pending.push_back(std::move(read));
  return TRUE;
}

DWORD WINAPI SleepEx(DWORD dwMilliseconds, BOOL bAlertable) {
  const bool forever = dwMilliseconds == INFINITE;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(forever ? 0 : dwMilliseconds);
  if (!bAlertable) {
    if (forever) {
      for (;;) pause();
    }
    std::this_thread::sleep_until(deadline);
    return 0;
  }
  for (;;) {
    CompleteClosed();
    if (DeliverCompleted()) return WAIT_IO_COMPLETION;
    if (t_pending.empty()) {
      // Nothing can complete: an alertable sleep is a plain sleep.
      if (forever) {
        for (;;) pause();
      }
      std::this_thread::sleep_until(deadline);
      return 0;
    }
    if (!PollPending(deadline, forever, nullptr)) {
      // Time-out; one last look so that a report that came with it counts.
      CompleteClosed();
      return DeliverCompleted() ? WAIT_IO_COMPLETION : 0;
    }
  }
}

BOOL WINAPI GetOverlappedResult(HANDLE /*hFile*/, OVERLAPPED* lpOverlapped, DWORD* lpNumberOfBytesTransferred,
                                BOOL bWait) {
  if (lpOverlapped == nullptr) {
    SetLastErrorCode(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (__atomic_load_n(&lpOverlapped->Internal, __ATOMIC_ACQUIRE) == kStatusPending) {
    if (!bWait) {
      SetLastErrorCode(ERROR_IO_INCOMPLETE);
      return FALSE;
    }
    // Waiting completes the read but leaves its routine for the next
    // alertable wait, as on Windows.
    const auto mine = std::find_if(t_pending.begin(), t_pending.end(),
                                   [lpOverlapped](const PendingRead& r) { return r.overlapped == lpOverlapped; });
    while (__atomic_load_n(&lpOverlapped->Internal, __ATOMIC_ACQUIRE) == kStatusPending) {
      if (mine != t_pending.end()) {
        CompleteClosed();
        if (!mine->completed) PollPending({}, true, &*mine);
      } else {
        // Another thread's read: it completes during that thread's waits.
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    }
  }
  const ULONG_PTR status = __atomic_load_n(&lpOverlapped->Internal, __ATOMIC_ACQUIRE);
  if (lpNumberOfBytesTransferred != nullptr)
    *lpNumberOfBytesTransferred = static_cast<DWORD>(lpOverlapped->InternalHigh);
  if (status != kStatusSuccess) {
    SetLastErrorCode(Win32FromStatus(status));
    return FALSE;
  }
  return TRUE;
}

BOOL WINAPI CancelIo(HANDLE hFile) {
  if (!LookupFileObject(hFile)) {
    SetLastErrorCode(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  // Only the calling thread's reads, as on Windows; the routines run at its
  // next alertable wait.
  for (PendingRead& read : t_pending) {
    if (read.handle == hFile && !read.completed) Complete(read, ERROR_OPERATION_ABORTED, 0);
  }
  return TRUE;
}

}  // namespace hid::linux_backend
