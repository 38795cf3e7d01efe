#include "tests/support/read_only_folder_linux.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>

#include "tests/support/test_folder.h"

namespace spreadsheet::testing {
namespace fs = std::filesystem;

namespace {

bool WriteProcFile(const char* path, const std::string& text) {
  const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  ::close(fd);
  return written;
}

// The flags a remount must keep: a mount namespace owned by a user
// namespace may not clear those of the mount it copied.
unsigned long LockedFlags(const fs::path& folder) {
  struct statvfs info {};
  if (::statvfs(folder.c_str(), &info) != 0) return 0;
  unsigned long flags = 0;
  if (info.f_flag & ST_NOSUID) flags |= MS_NOSUID;
  if (info.f_flag & ST_NODEV) flags |= MS_NODEV;
  if (info.f_flag & ST_NOEXEC) flags |= MS_NOEXEC;
  if (info.f_flag & ST_NOATIME) flags |= MS_NOATIME;
  if (info.f_flag & ST_NODIRATIME) flags |= MS_NODIRATIME;
  if (info.f_flag & ST_RELATIME) flags |= MS_RELATIME;
  return flags;
}

// In the child: a user namespace in which the caller is root, so that it
// may mount in the mount namespace that comes with it; mounts there never
// reach the rest of the system.
bool MountReadOnly(const fs::path& folder) {
  const uid_t uid = ::getuid();
  const gid_t gid = ::getgid();
  if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return false;
  if (!WriteProcFile("/proc/self/setgroups", "deny") ||
      !WriteProcFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
      !WriteProcFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1")) {
    return false;
  }
  if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return false;
  if (::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0) return false;
  // Each file gets a writable mount of its own before the folder's turns read-only.
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    if (::mount(entry.path().c_str(), entry.path().c_str(), nullptr, MS_BIND, nullptr) != 0) return false;
  }
  return ::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY | LockedFlags(folder), nullptr) ==
         0;
}

}  // namespace

std::optional<std::string> InReadOnlyFolder(const fs::path& folder, const std::function<std::string()>& action) {
  int channel[2];
  if (::pipe2(channel, O_CLOEXEC) != 0) return std::nullopt;
  std::fflush(nullptr);
  const pid_t child = ::fork();
  if (child < 0) return std::nullopt;
  if (child == 0) {
    ::close(channel[0]);
    // The first byte says whether the folder could be made read-only.
    std::string answer = MountReadOnly(folder) ? "+" + action() : "-";
    ssize_t written = 0;
    for (std::size_t at = 0; at < answer.size() && written >= 0; at += static_cast<std::size_t>(written)) {
      written = ::write(channel[1], answer.data() + at, answer.size() - at);
    }
    ::_exit(written < 0 ? 1 : 0);
  }
  ::close(channel[1]);
  std::string answer;
  char buffer[4096];
  for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) != 0;) {
    if (got < 0) {
      if (errno == EINTR) continue;
      break;
    }
    answer.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(channel[0]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || answer.empty()) {
    ADD_FAILURE() << "the child process in the read-only folder did not finish";
    return std::string();
  }
  if (answer[0] != '+') return std::nullopt;
  return answer.substr(1);
}

std::optional<std::string> WhileUnreplaceable(const fs::path& file, const std::function<std::string()>& action) {
  return InReadOnlyFolder(file.parent_path(), action);
}

}  // namespace spreadsheet::testing
