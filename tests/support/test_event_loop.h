// The main-thread dispatcher the HID layer's tests run posted work with.
//
// Installing a TestEventLoop makes the constructing thread the layer's
// user-interface thread; destroying it restores the previous dispatcher.
// Nothing runs by itself: tasks posted to it (from any thread) wait until
// the test runs them with RunPending or RunUntil, on the loop's thread.
//
// On Windows the controller's notify window is a real window whose messages
// sit in the thread's Win32 queue, so the loop serves that queue as well:
// a window message counts as one unit of work beside the posted tasks.
// Elsewhere notify-window messages travel as posted tasks already.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>

#include "hid/main_thread.h"

namespace simulated_hid {

class TestEventLoop final : public hid::MainThreadDispatcher {
 public:
  TestEventLoop();
  ~TestEventLoop() override;
  TestEventLoop(const TestEventLoop&) = delete;
  TestEventLoop& operator=(const TestEventLoop&) = delete;

  void Post(std::function<void()> task) override;
  // Runs tasks and window messages until none is waiting, those posted
  // meanwhile included; returns how many ran.
  std::size_t RunPending();
  // Runs work as it comes until done() holds or the time is up; returns
  // done(). done() is checked after each round and at least every
  // millisecond.
  bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);
  // Tasks waiting, plus one when window messages wait (Windows). Call it on
  // the loop's thread.
  std::size_t Pending() const;

 private:
  struct Queue;  // the tasks, and the thread's window messages
  std::unique_ptr<Queue> queue_;
  hid::MainThreadDispatcher* previous_ = nullptr;
};

}  // namespace simulated_hid
