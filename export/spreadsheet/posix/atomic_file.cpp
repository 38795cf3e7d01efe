#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <random>
#include <system_error>

#include "export/spreadsheet/atomic_file.h"

namespace spreadsheet {
namespace {

std::string RandomSuffix() {
  static thread_local std::mt19937_64 generator{std::random_device{}()};
  static const char kDigits[] = "0123456789abcdef";
  std::string suffix;
  for (std::uint64_t bits = generator(), k = 0; k < 12; ++k, bits >>= 4) suffix += kDigits[bits & 0xF];
  return suffix;
}

}  // namespace

void AtomicFile::FailWithSystemError(unsigned long error) const {
  Fail(std::generic_category().message(static_cast<int>(error)));
}

AtomicFile::AtomicFile(std::string target) : target_(std::move(target)), finalPath_(target_) {
  namespace fs = std::filesystem;
  if (target_.empty()) Fail("не указано имя файла");

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

void AtomicFile::Commit() {
  const int fd = static_cast<int>(handle_);
  if (::fsync(fd) != 0) FailWithSystemError(errno);
  handle_ = -1;
  if (::close(fd) != 0) FailWithSystemError(errno);
  if (::rename(temporary_.c_str(), finalPath_.c_str()) != 0) FailWithSystemError(errno);
  // The folder itself is not flushed: after a power cut the old file may be
  // back, but never a partial one, and a save stays fast.
  committed_ = true;
}

}  // namespace spreadsheet
