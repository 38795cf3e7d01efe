// The clipboard as Unicode text (CF_UNICODETEXT), exactly the text given:
// the table's lines end in a line feed on every system.
#include <cstring>

#include "app/kit/backend.h"
#include "app/kit/windows/application_window.h"

namespace kit {
namespace {

// Another program may hold the clipboard for a moment.
bool OpenClipboardPatiently() {
  for (int attempt = 0; attempt < 50; ++attempt) {
    if (::OpenClipboard(win::TaskWindow())) return true;
    ::Sleep(10);
  }
  return false;
}

}  // namespace

std::string ClipboardText() {
  if (!OpenClipboardPatiently()) return {};
  std::string text;
  if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
      text = win::Narrow(chars);
      ::GlobalUnlock(data);
    }
  }
  ::CloseClipboard();
  return text;
}

void SetClipboardText(const std::string& text) {
  const std::wstring wide = win::Wide(text);
  const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
  HGLOBAL data = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (data == nullptr) return;
  if (void* target = ::GlobalLock(data)) {
    std::memcpy(target, wide.c_str(), bytes);
    ::GlobalUnlock(data);
  }
  if (!OpenClipboardPatiently()) {
    ::GlobalFree(data);
    return;
  }
  ::EmptyClipboard();
  // The clipboard owns the memory once it has taken it.
  if (::SetClipboardData(CF_UNICODETEXT, data) == nullptr) ::GlobalFree(data);
  ::CloseClipboard();
}

}  // namespace kit
