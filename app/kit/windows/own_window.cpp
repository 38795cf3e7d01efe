#include "app/kit/windows/own_window.h"

namespace kit::win {
namespace {

// The object whose window is being made on this thread: the first messages
// of a window arrive inside CreateWindowExW.
thread_local const OwnWindow* creating = nullptr;

}  // namespace

bool OwnWindow::RegisterOwnClass(WNDCLASSEXW& windowClass) {
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &OwnWindow::Procedure;
  windowClass.hInstance = Module();
  windowClass.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  return ::RegisterClassExW(&windowClass) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND OwnWindow::MakeWindow(DWORD exStyle, const wchar_t* windowClass, const wchar_t* text, DWORD style, int x, int y,
                           int width, int height, HWND parent, HMENU menu) const {
  const OwnWindow* outer = creating;
  creating = this;
  const HWND made =
      ::CreateWindowExW(exStyle, windowClass, text, style, x, y, width, height, parent, menu, Module(), nullptr);
  creating = outer;
  return made;
}

void OwnWindow::Forget(HWND window) { ::SetWindowLongPtrW(window, GWLP_USERDATA, 0); }

LRESULT CALLBACK OwnWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* target = reinterpret_cast<OwnWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (target == nullptr && creating != nullptr) {
    // Claimed once: a window the object makes meanwhile is another's.
    target = const_cast<OwnWindow*>(creating);
    creating = nullptr;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(target));
    target->WindowMade(window);
  }
  if (target == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  return target->Handle(message, wParam, lParam);
}

}  // namespace kit::win
