// Replacing a file all at once: the new content goes into a temporary file
// beside the target, is flushed to the disk, and only then renamed over the
// target. A save that fails at any point leaves the old file as it was and
// no temporary behind.
#pragma once

#include <cstddef>
#include <string>

namespace spreadsheet {

class AtomicFile {
 public:
  // Creates the temporary file in the target's folder. Raises SaveError
  // naming the target and the system's reason when the target is a folder or
  // the folder cannot be written.
  explicit AtomicFile(std::string target);
  ~AtomicFile();  // removes the temporary file unless committed
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Where the new content goes, for writers that open the file themselves.
  const std::string& TemporaryPath() const { return temporary_; }

  void Write(const void* data, std::size_t size);

  // Flushes the temporary file to the disk and renames it over the target.
  void Commit();

  // Raises SaveError: "Не удалось сохранить файл «<target>»: <reason>".
  [[noreturn]] void Fail(const std::string& reason) const;

 private:
  // Fail with the system's text for an error code of the platform (errno,
  // or a Win32 error code on Windows).
  [[noreturn]] void FailWithSystemError(unsigned long error) const;
  void Discard() noexcept;

  std::string target_;     // as the caller named it, for messages
  std::string finalPath_;  // the target with a symbolic link resolved
  std::string temporary_;
  long long handle_ = -1;  // the open temporary file (descriptor or handle); -1 when none
  bool committed_ = false;
};

}  // namespace spreadsheet
