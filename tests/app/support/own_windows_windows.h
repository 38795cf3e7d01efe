// The calling thread's own top-level windows. The tests of one suite run
// side by side in one Wine prefix, each program showing the same main
// window (and the same menus): FindWindowW may answer with another
// program's, whose controls are none of this one's.
#pragma once

#include <windows.h>

#include <string>

namespace nativeui {

inline std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  return name;
}

namespace own_windows {
struct Search {
  const wchar_t* windowClass;
  const wchar_t* title;
  HWND found = nullptr;
};
inline BOOL CALLBACK Visit(HWND window, LPARAM param) {
  auto& search = *reinterpret_cast<Search*>(param);
  if (ClassOf(window) != search.windowClass) return TRUE;
  if (search.title != nullptr) {
    wchar_t text[64] = {};
    ::GetWindowTextW(window, text, 64);
    if (std::wstring(text) != search.title) return TRUE;
  }
  search.found = window;
  return FALSE;
}
}  // namespace own_windows

// This thread's first top-level window of `windowClass`, titled `title`
// unless that is null; nullptr if there is none.
inline HWND OwnWindow(const wchar_t* windowClass, const wchar_t* title = nullptr) {
  own_windows::Search search{windowClass, title};
  ::EnumThreadWindows(::GetCurrentThreadId(), &own_windows::Visit, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace nativeui
