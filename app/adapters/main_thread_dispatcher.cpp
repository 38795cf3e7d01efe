#include "app/adapters/main_thread_dispatcher.h"

#include "app/kit/application.h"
#include "app/kit/handler_guard.h"

namespace app {

MainThreadDispatcher::MainThreadDispatcher() : alive_(std::make_shared<bool>(true)) {}

// Destroyed on the user-interface thread, where the tasks run: no task can
// be running while the flag goes down.
MainThreadDispatcher::~MainThreadDispatcher() { *alive_ = false; }

// A task that throws (a window handler called from a re-scan, say) is
// dealt with as any handler of the window: the error box, and the window
// works on. Nothing unwinds into the event loop.
void MainThreadDispatcher::Post(std::function<void()> task) {
  kit::PostToMainThread([alive = alive_, task = std::move(task)] {
    if (*alive) kit::RunHandler(task);
  });
}

}  // namespace app
