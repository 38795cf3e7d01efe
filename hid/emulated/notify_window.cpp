// The notify-window emulation: a registry of windows whose posted messages
// travel through the main-thread dispatcher to the window's procedure.
#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

#include "hid/main_thread.h"
#include "hid/notify_window.h"

namespace hid {
namespace {

struct NotifyWindowEntry {
  NotifyProc proc = nullptr;
  void* context = nullptr;
};

struct WindowRegistry {
  std::mutex mutex;
  std::map<std::uintptr_t, NotifyWindowEntry> windows;
  // Never reused, so a message left for a destroyed window cannot reach a
  // window created later.
  std::uintptr_t nextId = 0x1000;
};

WindowRegistry& Registry() {
  static WindowRegistry registry;
  return registry;
}

std::uintptr_t IdOf(HWND window) { return reinterpret_cast<std::uintptr_t>(window); }

// Runs on the user-interface thread.
void Deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  NotifyWindowEntry entry;
  {
    WindowRegistry& registry = Registry();
    std::lock_guard lock(registry.mutex);
    auto it = registry.windows.find(IdOf(window));
    if (it == registry.windows.end()) return;
    entry = it->second;
  }
  entry.proc(entry.context, window, message, wParam, lParam);
}

}  // namespace

HWND CreateNotifyWindow(NotifyProc proc, void* context) {
  if (proc == nullptr) return nullptr;
  WindowRegistry& registry = Registry();
  std::lock_guard lock(registry.mutex);
  std::uintptr_t id = registry.nextId;
  registry.nextId += 0x10;
  registry.windows[id] = NotifyWindowEntry{proc, context};
  return reinterpret_cast<HWND>(id);
}

void DestroyNotifyWindow(HWND window) {
  WindowRegistry& registry = Registry();
  std::lock_guard lock(registry.mutex);
  registry.windows.erase(IdOf(window));
}

BOOL PostNotifyMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MainThreadDispatcher* dispatcher = CurrentMainThreadDispatcher();
  if (dispatcher == nullptr) return FALSE;
  {
    WindowRegistry& registry = Registry();
    std::lock_guard lock(registry.mutex);
    if (registry.windows.find(IdOf(window)) == registry.windows.end()) return FALSE;
  }
  dispatcher->Post([=] { Deliver(window, message, wParam, lParam); });
  return TRUE;
}

LRESULT DefaultNotifyProc(HWND, UINT, WPARAM, LPARAM) { return 0; }

void BroadcastDeviceChange() {
  std::vector<HWND> targets;
  {
    WindowRegistry& registry = Registry();
    std::lock_guard lock(registry.mutex);
    for (const auto& [id, entry] : registry.windows) targets.push_back(reinterpret_cast<HWND>(id));
  }
  for (HWND window : targets) PostNotifyMessage(window, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
}

}  // namespace hid
