#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <filesystem>
#include <random>
#include <system_error>

#include "base/utf.h"
#include "export/spreadsheet/atomic_file.h"

namespace spreadsheet {
namespace {

// File names are UTF-8 in the program and UTF-16 for the wide file functions.
std::wstring Wide(const std::string& utf8) {
  const std::u16string units = base::Utf8ToUtf16(utf8);
  return {units.begin(), units.end()};
}

std::string Narrow(const std::wstring& wide) { return base::Utf16ToUtf8(std::u16string(wide.begin(), wide.end())); }

std::wstring RandomSuffix() {
  static thread_local std::mt19937_64 generator{std::random_device{}()};
  static const wchar_t kDigits[] = L"0123456789abcdef";
  std::wstring suffix;
  for (std::uint64_t bits = generator(), k = 0; k < 12; ++k, bits >>= 4) suffix += kDigits[bits & 0xF];
  return suffix;
}

std::string LastSystemError() { return std::system_category().message(static_cast<int>(GetLastError())); }

}  // namespace

AtomicFile::AtomicFile(std::string target) : target_(std::move(target)), finalPath_(target_) {
  namespace fs = std::filesystem;
  if (target_.empty()) Fail("не указано имя файла");
  const fs::path finalPath(Wide(finalPath_));
  std::error_code error;
  if (fs::is_directory(finalPath, error) || !finalPath.has_filename()) FailWithSystemError(EISDIR);

  const fs::path folder = finalPath.parent_path().empty() ? fs::path(L".") : finalPath.parent_path();
  for (int attempt = 0; handle_ < 0; ++attempt) {
    const fs::path temporary = folder / (L"." + finalPath.filename().wstring() + L".tmp-" + RandomSuffix());
    const int fd = _wopen(temporary.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                          _S_IREAD | _S_IWRITE);
    if (fd >= 0) {
      handle_ = fd;
      temporary_ = Narrow(temporary.wstring());
    } else if (errno != EEXIST || attempt >= 100) {
      FailWithSystemError(errno);
    }
  }
}

AtomicFile::~AtomicFile() {
  if (!committed_) Discard();
}

void AtomicFile::Discard() noexcept {
  if (handle_ >= 0) _close(static_cast<int>(handle_));
  handle_ = -1;
  if (!temporary_.empty()) _wunlink(Wide(temporary_).c_str());
}

void AtomicFile::Write(const void* data, std::size_t size) {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const unsigned chunk = size > 0x40000000 ? 0x40000000u : static_cast<unsigned>(size);
    const int written = _write(static_cast<int>(handle_), bytes, chunk);
    if (written < 0) FailWithSystemError(errno);
    bytes += written;
    size -= static_cast<std::size_t>(written);
  }
}

void AtomicFile::Commit() {
  const int fd = static_cast<int>(handle_);
  if (_commit(fd) != 0) FailWithSystemError(errno);
  handle_ = -1;
  if (_close(fd) != 0) FailWithSystemError(errno);
  if (!MoveFileExW(Wide(temporary_).c_str(), Wide(finalPath_).c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    Fail(LastSystemError());
  }
  committed_ = true;
}

}  // namespace spreadsheet
