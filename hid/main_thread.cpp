#include "hid/main_thread.h"

#include <atomic>
#include <mutex>
#include <thread>

namespace hid {
namespace {

std::atomic<MainThreadDispatcher*> g_dispatcher{nullptr};

std::mutex& MainThreadMutex() {
  static std::mutex mutex;
  return mutex;
}

// Static initialisation runs on the thread that starts the program.
std::thread::id g_mainThread = std::this_thread::get_id();

}  // namespace

void SetMainThreadDispatcher(MainThreadDispatcher* dispatcher) {
  if (dispatcher != nullptr) {
    std::lock_guard lock(MainThreadMutex());
    g_mainThread = std::this_thread::get_id();
  }
  g_dispatcher.store(dispatcher, std::memory_order_release);
}

MainThreadDispatcher* CurrentMainThreadDispatcher() { return g_dispatcher.load(std::memory_order_acquire); }

bool IsMainThread() {
  std::lock_guard lock(MainThreadMutex());
  return g_mainThread == std::this_thread::get_id();
}

}  // namespace hid
