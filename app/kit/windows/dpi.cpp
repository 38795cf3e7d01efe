// Resolution services that newer systems have, looked up at run time so
// that the program still starts where they are missing.
#include "app/kit/windows/native.h"

namespace kit::win {
namespace {

template <typename Function>
Function UserEntry(const char* name) {
  static HMODULE user = ::GetModuleHandleW(L"user32.dll");
  return user != nullptr ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(user, name))) : nullptr;
}

using SetAwarenessContext = BOOL(WINAPI*)(HANDLE);
using SetAware = BOOL(WINAPI*)();
using GetDpiForWindowProc = UINT(WINAPI*)(HWND);
using GetMetricForDpi = int(WINAPI*)(int, UINT);
using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

// DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2 and _PER_MONITOR_AWARE.
const HANDLE kPerMonitorV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
const HANDLE kPerMonitor = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-3));

}  // namespace

void DeclareDpiAwareness() {
  // The manifest says the same; this covers a program started without it.
  // Once the awareness is set (by the manifest) the call fails harmlessly.
  if (auto set = UserEntry<SetAwarenessContext>("SetProcessDpiAwarenessContext")) {
    if (set(kPerMonitorV2) || set(kPerMonitor)) return;
    if (::GetLastError() == ERROR_ACCESS_DENIED) return;
  }
  if (auto set = UserEntry<SetAware>("SetProcessDPIAware")) set();
}

int SystemDpi() {
  HDC screen = ::GetDC(nullptr);
  const int dpi = screen != nullptr ? ::GetDeviceCaps(screen, LOGPIXELSY) : kLayoutDpi;
  if (screen != nullptr) ::ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kLayoutDpi;
}

int DpiOfWindow(HWND window) {
  static const auto forWindow = UserEntry<GetDpiForWindowProc>("GetDpiForWindow");
  if (forWindow != nullptr && window != nullptr) {
    const UINT dpi = forWindow(window);
    if (dpi != 0) return static_cast<int>(dpi);
  }
  return SystemDpi();
}

int SystemMetricForDpi(int index, int dpi) {
  static const auto forDpi = UserEntry<GetMetricForDpi>("GetSystemMetricsForDpi");
  if (forDpi != nullptr) return forDpi(index, static_cast<UINT>(dpi));
  return ::MulDiv(::GetSystemMetrics(index), dpi, SystemDpi());
}

SIZE OuterSizeForClient(SIZE client, DWORD style, DWORD exStyle, int dpi) {
  static const auto adjust = UserEntry<AdjustForDpi>("AdjustWindowRectExForDpi");
  RECT rect{0, 0, client.cx, client.cy};
  if (adjust == nullptr || !adjust(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi)))
    ::AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace kit::win
