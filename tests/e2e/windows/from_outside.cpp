#include "tests/e2e/windows/from_outside.h"

#include <thread>

#include "base/utf.h"

namespace outside {

std::wstring Wide(const std::string& text) {
  const std::u16string wide = base::Utf8ToUtf16(text);
  return {wide.begin(), wide.end()};
}

std::string Narrow(const std::wstring& text) { return base::Utf16ToUtf8(std::u16string(text.begin(), text.end())); }

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= end) return done();
    std::this_thread::sleep_for(20ms);
  }
  return true;
}

namespace {

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  return name;
}

}  // namespace

namespace {

struct WindowSearch {
  DWORD process;
  const std::wstring& windowClass;
  std::vector<HWND> found;
};

// The system calls these back with its own calling convention (CALLBACK),
// which a lambda does not have on 32-bit Windows.
BOOL CALLBACK CollectTopLevel(HWND window, LPARAM data) {
  auto& search = *reinterpret_cast<WindowSearch*>(data);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner == search.process && ::IsWindowVisible(window) && ClassOf(window) == search.windowClass)
    search.found.push_back(window);
  return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM data) {
  reinterpret_cast<std::vector<Child>*>(data)->push_back(
      {window, ClassOf(window), Text(window), ::GetWindowLongW(window, GWL_STYLE), ::GetDlgCtrlID(window)});
  return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindows(DWORD process, const std::wstring& windowClass) {
  WindowSearch search{process, windowClass, {}};
  ::EnumWindows(&CollectTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<Child> Children(HWND parent) {
  std::vector<Child> children;
  ::EnumChildWindows(parent, &CollectChild, reinterpret_cast<LPARAM>(&children));
  return children;
}

std::string Text(HWND window) {
  wchar_t text[1024] = {};
  DWORD_PTR length = 0;
  if (!::SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000, &length))
    return {};
  return Narrow(std::wstring(text, length));
}

bool SetText(HWND window, const std::string& text) {
  const std::wstring wide = Wide(text);
  DWORD_PTR result = 0;
  return ::SendMessageTimeoutW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()), SMTO_NORMAL, 5000,
                               &result) != 0 &&
         result == TRUE;
}

void Click(HWND control) {
  RECT client;
  ::GetClientRect(control, &client);
  const LPARAM centre = MAKELPARAM(client.right / 2, client.bottom / 2);
  ::PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, centre);
  ::PostMessageW(control, WM_LBUTTONUP, 0, centre);
}

bool ClickWithTheMouse(HWND control) {
  RECT rect;
  if (!::GetWindowRect(control, &rect)) return false;
  const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
  INPUT input[3] = {};
  for (INPUT& one : input) one.type = INPUT_MOUSE;
  input[0].mi.dx = ((rect.left + rect.right) / 2) * 65535 / (screenWidth - 1);
  input[0].mi.dy = ((rect.top + rect.bottom) / 2) * 65535 / (screenHeight - 1);
  input[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  input[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  return ::SendInput(3, input, sizeof(INPUT)) == 3;
}

HWND FocusOf(DWORD thread) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return ::GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

bool ClickUntilFocused(HWND control, std::chrono::milliseconds limit) {
  const DWORD thread = ::GetWindowThreadProcessId(control, nullptr);
  const auto end = std::chrono::steady_clock::now() + limit;
  do {
    Click(control);
    if (WaitFor([&] { return FocusOf(thread) == control; }, 200ms)) return true;
  } while (std::chrono::steady_clock::now() < end);
  return false;
}

bool TypeCtrlC() {
  INPUT keys[4] = {};
  const WORD sequence[4][2] = {{VK_CONTROL, 0}, {'C', 0}, {'C', KEYEVENTF_KEYUP}, {VK_CONTROL, KEYEVENTF_KEYUP}};
  for (int i = 0; i < 4; ++i) {
    keys[i].type = INPUT_KEYBOARD;
    keys[i].ki.wVk = sequence[i][0];
    keys[i].ki.wScan = static_cast<WORD>(::MapVirtualKeyW(sequence[i][0], MAPVK_VK_TO_VSC));
    keys[i].ki.dwFlags = sequence[i][1];
  }
  return ::SendInput(4, keys, sizeof(INPUT)) == 4;
}

std::string ClipboardText() {
  if (!::OpenClipboard(nullptr)) return {};
  std::string text;
  if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
      text = Narrow(chars);
      ::GlobalUnlock(data);
    }
  }
  ::CloseClipboard();
  return text;
}

DWORD ClipboardChanges() { return ::GetClipboardSequenceNumber(); }

int Pixels::Count(const std::function<bool(int r, int g, int b)>& test) const {
  int count = 0;
  for (const DWORD p : rgb) count += test((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF) ? 1 : 0;
  return count;
}

Pixels OnScreen(HWND window) {
  RECT rect;
  ::GetWindowRect(window, &rect);
  Pixels pixels;
  pixels.width = rect.right - rect.left;
  pixels.height = rect.bottom - rect.top;
  if (pixels.width <= 0 || pixels.height <= 0) return {};
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = pixels.width;
  info.bmiHeader.biHeight = -pixels.height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC memory = ::CreateCompatibleDC(nullptr);
  HBITMAP bitmap = ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ old = ::SelectObject(memory, bitmap);
  // The screen, not the window: what is there to see, drawn by the program.
  HDC screen = ::GetDC(nullptr);
  ::BitBlt(memory, 0, 0, pixels.width, pixels.height, screen, rect.left, rect.top, SRCCOPY);
  ::ReleaseDC(nullptr, screen);
  ::GdiFlush();
  if (bits != nullptr) {
    const auto* first = static_cast<const DWORD*>(bits);
    pixels.rgb.assign(first, first + static_cast<std::size_t>(pixels.width) * pixels.height);
  }
  ::SelectObject(memory, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  return pixels;
}

}  // namespace outside
