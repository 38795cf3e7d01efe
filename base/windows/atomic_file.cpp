// Windows: the wide file functions of the system itself, so that every
// failure has a Win32 error code, and its reason comes in the user's language
// as the system words it (FormatMessageW), decoded from UTF-16 and not from
// the ANSI code page.
#include <windows.h>

#include <filesystem>
#include <random>

#include "base/utf.h"
#include "base/atomic_file.h"

namespace base {
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

HANDLE HandleOf(long long handle) { return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(handle)); }

// The system's text for a Win32 error code, as the middle of a sentence:
// without the line break and full stop it ends with.
std::string SystemReason(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text(buffer != nullptr ? buffer : L"", length);
  if (buffer != nullptr) LocalFree(buffer);
  while (!text.empty() &&
         (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ' || text.back() == L'.')) {
    text.pop_back();
  }
  return text.empty() ? "системная ошибка " + std::to_string(code) : Narrow(text);
}

}  // namespace

void MakeFolders(const std::string& path) {
  // Folder by folder from the top, as the system makes them one at a time;
  // those that exist are passed over.
  const std::filesystem::path full(Wide(path));
  std::filesystem::path made;
  for (const std::filesystem::path& part : full) {
    made /= part;
    if (!made.has_relative_path()) continue;  // the drive or the share
    if (::CreateDirectoryW(made.c_str(), nullptr)) continue;
    const DWORD code = ::GetLastError();
    if (code != ERROR_ALREADY_EXISTS && code != ERROR_ACCESS_DENIED) throw FileError(SystemReason(code));
    // An existing folder (or a top folder the user may not create in, but
    // which exists) is passed; a file in a folder's place is not.
    const DWORD attributes = ::GetFileAttributesW(made.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) throw FileError(SystemReason(code));
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) throw FileError(SystemReason(ERROR_DIRECTORY));
  }
}

void AtomicFile::FailWithSystemError(unsigned long error) const {
  throw FileError(SystemReason(static_cast<DWORD>(error)));
}

AtomicFile::AtomicFile(std::string target) : target_(std::move(target)), finalPath_(target_) {
  namespace fs = std::filesystem;
  if (target_.empty()) throw FileError("не указано имя файла");
  const fs::path finalPath(Wide(finalPath_));
  std::error_code error;
  // What the system answers for replacing a folder by a file.
  if (fs::is_directory(finalPath, error) || !finalPath.has_filename()) FailWithSystemError(ERROR_ACCESS_DENIED);

  const fs::path folder = finalPath.parent_path().empty() ? fs::path(L".") : finalPath.parent_path();
  for (int attempt = 0; handle_ < 0; ++attempt) {
    const fs::path temporary = folder / (L"." + finalPath.filename().wstring() + L".tmp-" + RandomSuffix());
    // Shared for writing: a writer that opens the file itself (libxlsxwriter)
    // writes into it while this handle keeps the name reserved.
    const HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      handle_ = static_cast<long long>(reinterpret_cast<std::intptr_t>(file));
      temporary_ = Narrow(temporary.wstring());
    } else if (const DWORD code = GetLastError(); code != ERROR_FILE_EXISTS || attempt >= 100) {
      FailWithSystemError(code);
    }
  }
}

AtomicFile::~AtomicFile() {
  if (!committed_) Discard();
}

void AtomicFile::Discard() noexcept {
  if (handle_ >= 0) CloseHandle(HandleOf(handle_));
  handle_ = -1;
  if (!temporary_.empty()) DeleteFileW(Wide(temporary_).c_str());
}

void AtomicFile::Write(const void* data, std::size_t size) {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const DWORD chunk = size > 0x40000000 ? 0x40000000u : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(HandleOf(handle_), bytes, chunk, &written, nullptr)) FailWithSystemError(GetLastError());
    bytes += written;
    size -= written;
  }
}

void AtomicFile::Flush() {
  if (flushed_) return;
  const HANDLE file = HandleOf(handle_);
  if (!FlushFileBuffers(file)) FailWithSystemError(GetLastError());
  handle_ = -1;
  if (!CloseHandle(file)) FailWithSystemError(GetLastError());
  flushed_ = true;
}

void AtomicFile::Commit() {
  Flush();
  if (!MoveFileExW(Wide(temporary_).c_str(), Wide(finalPath_).c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    FailWithSystemError(GetLastError());
  }
  committed_ = true;
}

bool AtomicFile::CommitAsNew(const std::string& target) {
  Flush();
  // Without MOVEFILE_REPLACE_EXISTING the system refuses a name in use;
  // MOVEFILE_WRITE_THROUGH returns once the new name is on the disk.
  if (!MoveFileExW(Wide(temporary_).c_str(), Wide(target).c_str(), MOVEFILE_WRITE_THROUGH)) {
    const DWORD code = GetLastError();
    if (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS) return false;
    FailWithSystemError(code);
  }
  committed_ = true;
  return true;
}

}  // namespace base
