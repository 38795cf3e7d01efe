// The hidden application window ("TApplication"): it owns every form, so
// that only it has a task-bar button, titled with the application title,
// while the forms' captions say what they like. It has no size; whatever
// the user does to it (activate, restore, close from the task bar) is
// passed on to the main form.
#include <map>
#include <stdexcept>
#include <utility>

#include "app/kit/windows/application_window.h"

namespace kit::win {
namespace {

constexpr wchar_t kClassName[] = L"TApplication";

HWND application = nullptr;
HWND mainForm = nullptr;
std::wstring title;
int iconResource = 0;

// The window that should have the user's attention: a modal box over the
// main form, or the main form itself.
HWND ActiveTarget() {
  if (mainForm == nullptr || !::IsWindowVisible(mainForm)) return nullptr;
  if (::IsWindowEnabled(mainForm)) return mainForm;
  HWND popup = ::GetLastActivePopup(mainForm);
  return popup != nullptr && ::IsWindowEnabled(popup) ? popup : nullptr;
}

LRESULT CALLBACK ApplicationProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) {
        if (HWND target = ActiveTarget()) ::SetActiveWindow(target);
        return 0;
      }
      break;
    case WM_SETFOCUS:
      if (HWND target = ActiveTarget()) ::SetFocus(target);
      return 0;
    case WM_CLOSE:
      // "Close window" on the task-bar button asks the main form.
      if (mainForm != nullptr) ::PostMessageW(mainForm, WM_CLOSE, 0, 0);
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_RESTORE) {
        const LRESULT result = ::DefWindowProcW(window, message, wParam, lParam);
        if (HWND target = ActiveTarget()) ::SetForegroundWindow(target);
        return result;
      }
      break;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

HWND ApplicationWindow() {
  if (application != nullptr) return application;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &ApplicationProc;
  windowClass.hInstance = Module();
  windowClass.lpszClassName = kClassName;
  // The task-bar button shows the class's icons.
  GiveClassProgramIcons(windowClass);
  if (::RegisterClassExW(&windowClass) == 0 && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    throw std::runtime_error("cannot register the application window's class");
  // In the middle of the screen with no size: where a minimised program's
  // animation starts and ends.
  const int x = ::GetSystemMetrics(SM_CXSCREEN) / 2;
  const int y = ::GetSystemMetrics(SM_CYSCREEN) / 2;
  application = ::CreateWindowExW(0, kClassName, title.c_str(),
                                  WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, x, y, 0, 0,
                                  nullptr, nullptr, Module(), nullptr);
  if (application == nullptr) throw std::runtime_error("cannot create the application window");
  return application;
}

void DestroyApplicationWindow() {
  if (application != nullptr) ::DestroyWindow(application);
  application = nullptr;
  mainForm = nullptr;
}

void SetApplicationWindowTitle(const std::wstring& text) {
  title = text;
  if (application != nullptr) ::SetWindowTextW(application, title.c_str());
}

void SetMainForm(HWND form) { mainForm = form; }
HWND MainForm() { return mainForm; }

void FormClosed(HWND form) {
  if (form != mainForm || form == nullptr) return;
  if (application != nullptr) ::ShowWindow(application, SW_HIDE);
  ::PostQuitMessage(0);
}

void SetIconResource(int id) { iconResource = id; }

HICON LoadProgramIcon(int size) {
  if (iconResource == 0) return nullptr;
  // Loaded once a size and kept for the program's life: the task-bar
  // button and every form show the same few.
  static std::map<std::pair<int, int>, HICON> loaded;
  HICON& icon = loaded[{iconResource, size}];
  if (icon == nullptr)
    icon = static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconResource), IMAGE_ICON,
                                           size, size, LR_DEFAULTCOLOR));
  return icon;
}

void GiveClassProgramIcons(WNDCLASSEXW& windowClass) {
  windowClass.hIcon = LoadProgramIcon(::GetSystemMetrics(SM_CXICON));
  windowClass.hIconSm = LoadProgramIcon(::GetSystemMetrics(SM_CXSMICON));
}

}  // namespace kit::win
