// Runs the HID layer's posted tasks on the user-interface thread, through
// Qt's event loop, in the order they were posted.
#pragma once

#include <QObject>

#include "hid/main_thread.h"

namespace app {

class QtMainThreadDispatcher final : public hid::MainThreadDispatcher {
 public:
  // Create it on the user-interface thread: tasks run on the thread it lives on.
  QtMainThreadDispatcher() = default;

  // Thread-safe. Tasks still queued when the dispatcher is destroyed are dropped.
  void Post(std::function<void()> task) override;

 private:
  QObject receiver_;
};

}  // namespace app
