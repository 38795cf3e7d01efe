// What the Win32 backend's files share: the system headers, UTF-8 to UTF-16
// and back, and the scaling between layout pixels (96 dots per inch) and the
// device pixels of a window's monitor.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>
#include <string_view>

#include "app/kit/geometry.h"
#include "base/utf.h"

namespace kit::win {

// The layout's resolution: layout pixels are device pixels at this one.
inline constexpr int kLayoutDpi = USER_DEFAULT_SCREEN_DPI;

inline std::wstring Wide(std::string_view utf8) {
  const std::u16string text = base::Utf8ToUtf16(utf8);
  return std::wstring(text.begin(), text.end());
}

inline std::string Narrow(std::wstring_view text) {
  return base::Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()));
}

// A window's text, UTF-8.
std::string WindowText(HWND window);

// Layout pixels to device pixels and back. Edges are scaled one by one, so
// that neighbouring rectangles stay neighbours at any resolution.
inline int ToDevice(int layout, int dpi) { return ::MulDiv(layout, dpi, kLayoutDpi); }
inline int ToLayout(int device, int dpi) { return ::MulDiv(device, kLayoutDpi, dpi); }
// The layout pixel a device pixel lies in (for points: mouse positions).
inline int LayoutPixelOf(int device, int dpi) {
  const long long scaled = static_cast<long long>(device) * kLayoutDpi;
  return static_cast<int>(scaled >= 0 ? scaled / dpi : -((-scaled + dpi - 1) / dpi));
}
// The smallest layout length that covers a device length.
inline int LayoutCeil(int device, int dpi) {
  return static_cast<int>((static_cast<long long>(device) * kLayoutDpi + dpi - 1) / dpi);
}

inline RECT ToDevice(const TRect& r, int dpi) {
  return {ToDevice(r.Left, dpi), ToDevice(r.Top, dpi), ToDevice(r.Right, dpi), ToDevice(r.Bottom, dpi)};
}
inline TRect ToLayout(const RECT& r, int dpi) {
  return {ToLayout(r.left, dpi), ToLayout(r.top, dpi), ToLayout(r.right, dpi), ToLayout(r.bottom, dpi)};
}
// The layout rectangle that covers a device Rectangle (for repaints).
inline TRect LayoutCover(const RECT& r, int dpi) {
  return {LayoutPixelOf(r.left, dpi), LayoutPixelOf(r.top, dpi), LayoutCeil(r.right, dpi), LayoutCeil(r.bottom, dpi)};
}

// Per-monitor resolution, where the system has it (Windows 10 1607 on);
// older systems have one resolution for the whole desktop.
void DeclareDpiAwareness();
int DpiOfWindow(HWND window);
int SystemDpi();
int SystemMetricForDpi(int index, int dpi);
// The outer size of a window whose client area has the given size.
SIZE OuterSizeForClient(SIZE client, DWORD style, DWORD exStyle, int dpi);

// The module the backend's window classes belong to.
HINSTANCE Module();

}  // namespace kit::win
