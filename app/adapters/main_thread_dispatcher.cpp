#include "app/adapters/main_thread_dispatcher.h"

#include "app/kit/backend.h"

namespace app {

MainThreadDispatcher::MainThreadDispatcher() : alive_(std::make_shared<bool>(true)) {}

// Destroyed on the user-interface thread, where the tasks run: no task can
// be running while the flag goes down.
MainThreadDispatcher::~MainThreadDispatcher() { *alive_ = false; }

void MainThreadDispatcher::Post(std::function<void()> task) {
  kit::PostToMainThread([alive = alive_, task = std::move(task)] {
    if (*alive) task();
  });
}

}  // namespace app
