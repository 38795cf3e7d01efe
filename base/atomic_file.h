// Writing a file all at once: the new content goes into a temporary file
// beside the target, is flushed to the disk, and only then renamed into
// place. A write that fails, or a program killed at any moment, leaves the
// old file (or no file) as it was, and never half a file under the target's
// name; a failure leaves no temporary behind.
//
// Two ways to put the content in place: Commit replaces the target, as a
// save does; CommitAsNew never replaces anything, for files that are kept
// side by side under names of their own.
//
// Each platform has its implementation (posix/, windows/), on the system's
// own file functions, so that every failure carries the system's reason.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

namespace base {

// A file or folder the system would not write. what() is the system's
// reason alone, as the middle of a sentence (in the user's language where
// the system words it so), for the caller to name the file around it.
class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Makes the folder and any missing folder above it; nothing when it exists.
// Raises FileError when it cannot be made, or when a file is in its place.
void MakeFolders(const std::string& path);

class AtomicFile {
 public:
  // Creates the temporary file in the target's folder (paths are UTF-8).
  // Raises FileError when the target is a folder or the folder cannot be
  // written.
  explicit AtomicFile(std::string target);
  ~AtomicFile();  // removes the temporary file unless committed
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Where the new content goes, for writers that open the file themselves.
  const std::string& TemporaryPath() const { return temporary_; }

  void Write(const void* data, std::size_t size);

  // Flushes the temporary file to the disk and renames it over the target.
  // The folder itself is not flushed: after a power cut the old file may be
  // back, but never a partial one, and a save stays fast.
  void Commit();

  // Flushes the temporary file and gives it the name `target`, a file of
  // the folder the constructor's target is in, unless a file of that name
  // exists: then answers false, and the content waits for another name.
  // Once renamed, the folder is flushed as well, so that the new file is on
  // the disk, name and all, when this returns true.
  bool CommitAsNew(const std::string& target);

 private:
  // Raises FileError with the system's text for an error code of the
  // platform (errno, or a Win32 error code on Windows).
  [[noreturn]] void FailWithSystemError(unsigned long error) const;
  void Flush();
  void Discard() noexcept;

  std::string target_;     // as the caller named it
  std::string finalPath_;  // the target with a symbolic link resolved
  std::string temporary_;
  long long handle_ = -1;  // the open temporary file (descriptor or handle); -1 when none
  bool flushed_ = false;
  bool committed_ = false;
};

}  // namespace base
