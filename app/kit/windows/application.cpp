// The application object on Win32: DPI awareness and the common controls
// at start, the message loop with the dialog keys (Tab moves between the
// controls of a form), and the services of the event loop.
#include "app/kit/backend.h"

#include <deque>
#include <mutex>
#include <stdexcept>

#include "app/kit/windows/application_window.h"
#include "app/kit/windows/form_peer.h"

// After windows.h, which it needs.
#include <commctrl.h>

namespace kit::win {

bool HandleDialogKeys(MSG& message) {
  if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST || message.hwnd == nullptr) return false;
  HWND root = ::GetAncestor(message.hwnd, GA_ROOT);
  wchar_t className[16] = {};
  ::GetClassNameW(root, className, 16);
  // Our forms only: the system's own dialogs run their own loops.
  if (std::wstring_view(className) != L"TForm") return false;
  return ::IsDialogMessageW(root, &message) != FALSE;
}

namespace {

void Dispatch(MSG& message) {
  if (HandleDialogKeys(message)) return;
  ::TranslateMessage(&message);
  ::DispatchMessageW(&message);
}

// Tasks for the user-interface thread, run by a message-only window that
// PostToMainThread wakes.
struct TaskQueue {
  std::mutex lock;
  std::deque<std::function<void()>> tasks;
  HWND window = nullptr;
};

TaskQueue& Tasks() {
  static TaskQueue queue;
  return queue;
}

constexpr UINT kRunTasks = WM_APP + 1;

LRESULT CALLBACK TaskWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kRunTasks) return ::DefWindowProcW(window, message, wParam, lParam);
  // The tasks waiting now; those they post wait for the next round.
  std::deque<std::function<void()>> batch;
  {
    std::lock_guard guard(Tasks().lock);
    batch.swap(Tasks().tasks);
  }
  for (auto& task : batch) task();
  return 0;
}

HWND CreateTaskWindow() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &TaskWindowProc;
  windowClass.hInstance = Module();
  windowClass.lpszClassName = L"LumetraMainThreadTasks";
  if (::RegisterClassExW(&windowClass) == 0 && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;
  return ::CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, Module(), nullptr);
}

Application* current = nullptr;

}  // namespace

HWND TaskWindow() {
  std::lock_guard guard(Tasks().lock);
  return Tasks().window;
}
}  // namespace kit::win

namespace kit {

struct Application::Native {
  HWND taskWindow = nullptr;
};

Application::Application(int, char**) : native_(std::make_unique<Native>()) {
  if (win::current != nullptr) throw std::logic_error("a second application object");
  // Before any window: sizes are the monitor's own pixels from here on.
  win::DeclareDpiAwareness();
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);
  native_->taskWindow = win::CreateTaskWindow();
  {
    std::lock_guard guard(win::Tasks().lock);
    win::Tasks().window = native_->taskWindow;
  }
  win::current = this;
}

Application::~Application() {
  {
    std::lock_guard guard(win::Tasks().lock);
    win::Tasks().window = nullptr;
    win::Tasks().tasks.clear();
  }
  if (native_->taskWindow != nullptr) ::DestroyWindow(native_->taskWindow);
  win::DestroyApplicationWindow();
  win::current = nullptr;
}

void Application::SetTitle(const std::string& title) {
  title_ = title;
  win::SetApplicationWindowTitle(win::Wide(title));
}

int Application::Run(FormPeer& mainWindow) {
  win::NativeForm& form = win::FormWindowOf(mainWindow);
  win::SetMainForm(form.Hwnd());
  form.Show();
  MSG message;
  while (::IsWindowVisible(form.Hwnd())) {
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got < 0) return 1;
    win::Dispatch(message);
  }
  // Closed without the loop's quit message (hidden by the program): take
  // it off the queue, if it came, so it does not end a later loop.
  ::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  return 0;
}

void Application::ProcessMessages() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Left for the loop that waits for it.
      ::PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    win::Dispatch(message);
  }
}

Application* Application::Instance() { return win::current; }

std::string ApplicationTitle() { return win::current != nullptr ? win::current->Title() : std::string(); }

void PostToMainThread(std::function<void()> task) {
  HWND window = nullptr;
  {
    std::lock_guard guard(win::Tasks().lock);
    win::Tasks().tasks.push_back(std::move(task));
    window = win::Tasks().window;
  }
  if (window != nullptr) ::PostMessageW(window, win::kRunTasks, 0, 0);
}

// Windows announces device changes to top-level windows itself.
std::unique_ptr<ReadableWatch> WatchReadable(int, std::function<void()>) { return nullptr; }

}  // namespace kit
