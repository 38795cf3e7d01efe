// The platform's part of the test event loop: the calling thread's window
// messages, and the wait for them or for a posted task.
//
// On Windows the controller's notify window is a real window whose messages
// sit in the thread's Win32 queue. Elsewhere notify-window messages travel as
// posted tasks, so there are no window messages and only the wait remains.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>

namespace simulated_hid {

class ThreadMessages {
 public:
  // Made on the loop's thread (on Windows it gets its message queue now,
  // before anything is posted to it).
  ThreadMessages();
  ~ThreadMessages();
  ThreadMessages(const ThreadMessages&) = delete;
  ThreadMessages& operator=(const ThreadMessages&) = delete;

  // Dispatches the window messages waiting now; returns how many.
  std::size_t Dispatch();
  // Whether window messages wait.
  bool Waiting() const;
  // Ends a Wait early; from any thread, when a task is posted.
  void Wake();
  // Returns after at most `timeout`: sooner when woken or when a window
  // message arrives. A Wake that came since the last Wait counts.
  void Wait(std::chrono::milliseconds timeout);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace simulated_hid
