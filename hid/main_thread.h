// The seam between the HID device layer and the program's event loop.
//
// The layer runs on the user-interface thread but owns no event loop. The
// program installs a dispatcher that runs posted tasks on that thread in
// order (Qt's event loop in the program, a plain loop in tests). Posted
// notify-window messages and the read thread's hand-overs reach the
// user-interface thread through it.
#pragma once

#include <functional>

namespace hid {

class MainThreadDispatcher {
 public:
  virtual ~MainThreadDispatcher() = default;
  // Called from any thread; the task runs later on the user-interface thread.
  virtual void Post(std::function<void()> task) = 0;
};

// nullptr uninstalls. The dispatcher must outlive its installation.
// Installing a dispatcher also makes the calling thread the user-interface
// thread of the layer.
void SetMainThreadDispatcher(MainThreadDispatcher* dispatcher);
MainThreadDispatcher* CurrentMainThreadDispatcher();

// True on the user-interface thread: the one that last installed a
// dispatcher, or the thread that started the program while none was.
bool IsMainThread();

}  // namespace hid
