// Runs the HID layer's posted tasks on the user-interface thread, through
// the window's event loop, in the order they were posted. An exception that
// leaves a task is shown in the standard error box, as one that leaves a
// window's handler is.
#pragma once

#include <memory>

#include "hid/main_thread.h"

namespace app {

class MainThreadDispatcher final : public hid::MainThreadDispatcher {
 public:
  MainThreadDispatcher();
  // Tasks still queued when the dispatcher is destroyed are dropped.
  ~MainThreadDispatcher() override;

  // Thread-safe.
  void Post(std::function<void()> task) override;

 private:
  // Shared with every task in the queue: a task whose dispatcher is gone
  // does nothing.
  std::shared_ptr<bool> alive_;
};

}  // namespace app
