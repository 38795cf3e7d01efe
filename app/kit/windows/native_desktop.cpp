// The desktop through the shell: the Documents known folder, and the
// folder opened in Explorer. The shell's library is loaded at the first
// use rather than with the program, from the system folder by its full
// path, as the save dialog's is: under Wine it is a good part of a start.
#include <string>

#include "app/kit/backend.h"
#include "app/kit/windows/native.h"

// After windows.h, which they need.
#include <knownfolders.h>
#include <shlobj.h>

namespace kit::win {
namespace {

using KnownFolderFunction = HRESULT(WINAPI*)(REFKNOWNFOLDERID, DWORD, HANDLE, PWSTR*);
using ShellExecuteFunction = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);

HMODULE Shell() {
  static const HMODULE library = []() -> HMODULE {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    return ::LoadLibraryW((std::wstring(folder, length) + L"\\shell32.dll").c_str());
  }();
  return library;
}

template <typename Function>
Function ShellFunction(const char* name) {
  HMODULE library = Shell();
  if (library == nullptr) return nullptr;
  // Through a function type without parameters, as every entry point is.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(library, name)));
}

class SystemDesktop final : public Desktop {
 public:
  std::string DocumentsFolder() override {
    static const auto knownFolder = ShellFunction<KnownFolderFunction>("SHGetKnownFolderPath");
    if (knownFolder == nullptr) return {};
    PWSTR path = nullptr;
    // Where the user's documents go, also when the folder is missing now:
    // the caller makes it, or says why it cannot.
    const HRESULT result = knownFolder(FOLDERID_Documents, KF_FLAG_DONT_VERIFY, nullptr, &path);
    std::string folder = SUCCEEDED(result) && path != nullptr ? Narrow(path) : std::string();
    ::CoTaskMemFree(path);
    return folder;
  }

  bool ShowFolder(const std::string& path) override {
    static const auto shellExecute = ShellFunction<ShellExecuteFunction>("ShellExecuteW");
    if (shellExecute == nullptr) return false;
    const HINSTANCE result = shellExecute(nullptr, L"explore", Wide(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
  }
};

}  // namespace
}  // namespace kit::win

kit::Desktop& kit::NativeDesktop() {
  static win::SystemDesktop desktop;
  return desktop;
}
