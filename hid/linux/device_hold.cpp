// Device holds over hidraw nodes: an exclusive flock on a descriptor of the
// node, opened for the hold alone. The lock belongs to the open descriptor,
// so it goes when the hold's handle is released, and the system drops it
// when the process ends, whichever way: a program that crashed holding a
// device leaves nothing behind that blocks the next one. Every program
// that opens the node locks the same inode, whatever descriptor it uses.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

#include "hid/linux/file_objects.h"
#include "hid/linux/service_groups.h"

namespace hid::linux_backend {
namespace {

// How often a hold that another process has is tried again. flock has no
// time-out of its own, and a blocking one could not be given up in time.
constexpr auto kRetryInterval = std::chrono::milliseconds(20);

HANDLE WINAPI HoldDevice(const char* DevicePath, DWORD dwMilliseconds) {
  if (DevicePath == nullptr || *DevicePath == '\0') {
    SetLastErrorCode(ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  auto object = std::make_shared<FileObject>();
  object->path = DevicePath;
  // Close-on-exec: a program started meanwhile must not carry the lock on.
  object->fd = open(DevicePath, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (object->fd < 0) {
    SetLastErrorCode(Win32ErrorFromErrno(errno));
    return INVALID_HANDLE_VALUE;
  }
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(dwMilliseconds);
  for (;;) {
    if (flock(object->fd, LOCK_EX | LOCK_NB) == 0) break;
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) {
      SetLastErrorCode(Win32ErrorFromErrno(errno));
      return INVALID_HANDLE_VALUE;
    }
    const Clock::time_point now = Clock::now();
    if (now >= deadline) {
      SetLastErrorCode(ERROR_TIMEOUT);
      return INVALID_HANDLE_VALUE;
    }
    std::this_thread::sleep_for(std::min<Clock::duration>(kRetryInterval, deadline - now));
  }
  // Neither readable nor writable: the handle serves the hold alone.
  return RegisterFileObject(std::move(object));
}

BOOL WINAPI ReleaseDeviceHold(HANDLE hHold) {
  // The descriptor, and with it the lock, goes with the object.
  if (!UnregisterFileObject(hHold)) {
    SetLastErrorCode(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

}  // namespace

ServiceTable::Hold HoldServices() { return {LUMETRA_HOLD_SERVICES(LUMETRA_ENTRY_OF_SAME_NAME)}; }

}  // namespace hid::linux_backend

namespace hid {

ServiceTable::Hold PlatformHoldServices() { return linux_backend::HoldServices(); }

}  // namespace hid
