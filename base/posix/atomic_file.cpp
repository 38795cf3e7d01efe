// POSIX: open, write, fsync and the renames of the system itself; reasons
// as the C library words errno (in the user's language where it has them).
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <random>
#include <system_error>

#include "base/atomic_file.h"

namespace base {
namespace {

std::string ReasonOf(int error) { return std::generic_category().message(error); }

// Renames `from` to `to` unless `to` exists: false then. Where the file
// system cannot rename that way, a second name made by a hard link does
// it; where it has no links either, a look just before the rename.
bool RenameWithoutReplacing(const std::string& from, const std::string& to, int& error) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  error = errno;
  if (error == EEXIST) return false;
  if (error != EINVAL && error != ENOSYS && error != ENOTSUP) return false;
  if (::link(from.c_str(), to.c_str()) == 0) {
    ::unlink(from.c_str());
    error = 0;
    return true;
  }
  error = errno;
  if (error == EEXIST) return false;
  if (error != EPERM && error != ENOTSUP && error != EOPNOTSUPP) return false;
  struct stat existing {};
  if (::lstat(to.c_str(), &existing) == 0) {
    error = EEXIST;
    return false;
  }
  if (::rename(from.c_str(), to.c_str()) == 0) {
    error = 0;
    return true;
  }
  error = errno;
  return false;
}

// Flushes a folder's entries, so that a name just given survives a power cut.
void FlushFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  // A file system that cannot flush a folder (EINVAL) has nothing to flush.
  (void)::fsync(fd);
  ::close(fd);
}

std::string RandomSuffix() {
  static thread_local std::mt19937_64 generator{std::random_device{}()};
  static const char kDigits[] = "0123456789abcdef";
  std::string suffix;
  for (std::uint64_t bits = generator(), k = 0; k < 12; ++k, bits >>= 4) suffix += kDigits[bits & 0xF];
  return suffix;
}

}  // namespace

void MakeFolders(const std::string& path) {
  std::error_code error;
  std::filesystem::create_directories(path, error);
  if (error) throw FileError(ReasonOf(error.value()));
  struct stat made {};
  if (::stat(path.c_str(), &made) != 0) throw FileError(ReasonOf(errno));
  if (!S_ISDIR(made.st_mode)) throw FileError(ReasonOf(ENOTDIR));
}

void AtomicFile::FailWithSystemError(unsigned long error) const { throw FileError(ReasonOf(static_cast<int>(error))); }

AtomicFile::AtomicFile(std::string target) : target_(std::move(target)), finalPath_(target_) {
  namespace fs = std::filesystem;
  if (target_.empty()) throw FileError("не указано имя файла");

  // Saving through a symbolic link replaces the file it points at and keeps the link.
  std::error_code error;
  if (fs::is_symlink(fs::symlink_status(target_, error))) {
    const fs::path resolved = fs::weakly_canonical(target_, error);
    if (!error) finalPath_ = resolved.string();
  }
  struct stat existing {};
  const bool exists = ::stat(finalPath_.c_str(), &existing) == 0;
  if (exists && S_ISDIR(existing.st_mode)) FailWithSystemError(EISDIR);
  if (!finalPath_.empty() && finalPath_.back() == '/') FailWithSystemError(EISDIR);

  const fs::path finalPath(finalPath_);
  const fs::path folder = finalPath.parent_path().empty() ? fs::path(".") : finalPath.parent_path();
  for (int attempt = 0; handle_ < 0; ++attempt) {
    temporary_ = (folder / ("." + finalPath.filename().string() + ".tmp-" + RandomSuffix())).string();
    const int fd = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      handle_ = fd;
    } else if (errno != EEXIST || attempt >= 100) {
      FailWithSystemError(errno);
    }
  }
  // The replacement keeps the permissions of the file it replaces.
  if (exists) (void)::fchmod(static_cast<int>(handle_), existing.st_mode & 07777);
}

AtomicFile::~AtomicFile() {
  if (!committed_) Discard();
}

void AtomicFile::Discard() noexcept {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
  handle_ = -1;
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
}

void AtomicFile::Write(const void* data, std::size_t size) {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t written = ::write(static_cast<int>(handle_), bytes, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      FailWithSystemError(errno);
    }
    bytes += written;
    size -= static_cast<std::size_t>(written);
  }
}

void AtomicFile::Flush() {
  if (flushed_) return;
  const int fd = static_cast<int>(handle_);
  if (::fsync(fd) != 0) FailWithSystemError(errno);
  handle_ = -1;
  if (::close(fd) != 0) FailWithSystemError(errno);
  flushed_ = true;
}

void AtomicFile::Commit() {
  Flush();
  if (::rename(temporary_.c_str(), finalPath_.c_str()) != 0) FailWithSystemError(errno);
  committed_ = true;
}

bool AtomicFile::CommitAsNew(const std::string& target) {
  Flush();
  int error = 0;
  if (!RenameWithoutReplacing(temporary_, target, error)) {
    if (error == EEXIST) return false;
    FailWithSystemError(error);
  }
  committed_ = true;
  const std::filesystem::path folder = std::filesystem::path(target).parent_path();
  FlushFolder(folder.empty() ? "." : folder.string());
  return true;
}

}  // namespace base
