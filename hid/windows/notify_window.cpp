// The notify window on Windows: a real hidden top-level window.
//
// It must be top-level and not message-only: the system's WM_DEVICECHANGE /
// DBT_DEVNODES_CHANGED broadcast goes to top-level windows only. It is never
// shown. Its messages are served by the creating thread's message loop.
#include <algorithm>
#include <exception>
#include <mutex>
#include <vector>

#include "hid/main_thread.h"
#include "hid/notify_window.h"

namespace hid {
namespace {

constexpr const char* kWindowClassName = "LumetraHidNotifyWindow";

// What a window routes its messages to; owned by the window, freed when the
// window is gone.
struct Route {
  NotifyProc proc;
  void* context;
};

// The route of the window being created on this thread. The first messages
// of a window (WM_GETMINMAXINFO, WM_NCCREATE...) arrive inside
// CreateWindowExA, before the window could carry anything of its own.
thread_local Route* creating_route = nullptr;

// Our live windows, for BroadcastDeviceChange. Windows may belong to several
// threads, hence the lock.
std::mutex windows_lock;
std::vector<HWND> live_windows;

void Forget(HWND window) {
  std::lock_guard lock(windows_lock);
  live_windows.erase(std::remove(live_windows.begin(), live_windows.end(), window), live_windows.end());
}

// An exception that leaves a message's handling (a client handler of a
// re-scan threw) must not unwind into the system that dispatched the
// message: a 32-bit program cannot unwind through the system's frames at
// all and would end on the spot. It is raised again from a task of the
// user-interface thread's dispatcher instead, outside the system's frames,
// where the program's event loop deals with it as with any other; without a
// dispatcher it cannot go anywhere and is dropped.
void RaiseOutsideTheDispatch(std::exception_ptr error) {
  if (hid::MainThreadDispatcher* dispatcher = hid::CurrentMainThreadDispatcher())
    dispatcher->Post([error] { std::rethrow_exception(error); });
}

LRESULT CALLBACK NotifyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* route = reinterpret_cast<Route*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  if (route == nullptr && creating_route != nullptr) {
    route = creating_route;
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(route));
  }
  if (route == nullptr) return ::DefWindowProcA(window, message, wParam, lParam);

  LRESULT result = 0;
  try {
    result = route->proc(route->context, window, message, wParam, lParam);
  } catch (...) {
    RaiseOutsideTheDispatch(std::current_exception());
  }
  if (message == WM_NCDESTROY) {
    // The window's last message: nothing reaches the route after it. A
    // window refused during its own creation leaves its route to
    // CreateNotifyWindow, which learns of the refusal only afterwards.
    ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    Forget(window);
    if (route != creating_route) delete route;
  }
  return result;
}

// The module this code lives in, so that the class belongs to it even when
// it is linked into a library rather than the program.
HINSTANCE OwnModule() {
  HMODULE module = nullptr;
  ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<const char*>(&NotifyWindowProc), &module);
  return module;
}

bool RegisterNotifyClass(HINSTANCE module) {
  static const bool registered = [module] {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &NotifyWindowProc;
    windowClass.hInstance = module;
    windowClass.lpszClassName = kWindowClassName;
    return ::RegisterClassExA(&windowClass) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  return registered;
}

}  // namespace

HWND CreateNotifyWindow(NotifyProc proc, void* context) {
  if (proc == nullptr) return nullptr;
  HINSTANCE module = OwnModule();
  if (!RegisterNotifyClass(module)) return nullptr;

  auto* route = new Route{proc, context};
  Route* outer = creating_route;  // a proc may create a window while one is being created
  creating_route = route;
  // No parent and no WS_VISIBLE: a hidden top-level window.
  HWND window =
      ::CreateWindowExA(0, kWindowClassName, "", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr, module, nullptr);
  creating_route = outer;
  if (window == nullptr) {
    delete route;
    return nullptr;
  }
  std::lock_guard lock(windows_lock);
  live_windows.push_back(window);
  return window;
}

void DestroyNotifyWindow(HWND window) {
  if (window != nullptr) ::DestroyWindow(window);
}

BOOL PostNotifyMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::PostMessageA(window, message, wParam, lParam);
}

LRESULT DefaultNotifyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcA(window, message, wParam, lParam);
}

void BroadcastDeviceChange() {
  std::vector<HWND> targets;
  {
    std::lock_guard lock(windows_lock);
    targets = live_windows;
  }
  for (HWND window : targets) ::PostMessageA(window, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
}

}  // namespace hid
