// A worker thread in the style the HID layer's background reader needs.
//
// The thread is created suspended and started with Resume (a C++ object
// cannot run its body before its most derived part is built, so "created
// running" is construction followed by Resume). It is asked to stop through a
// flag it polls (Terminate/Terminated), may destroy its own object when its
// body returns, and can run a function on the user-interface thread and wait
// for it (Synchronize). Synchronize hands the call over through a queue
// owned by this class; the main-thread dispatcher only wakes the
// user-interface thread to drain it (CheckSynchronize). WaitFor on the
// user-interface thread drains the queue while it waits, so stopping a
// thread whose hand-over is waiting cannot deadlock.
#pragma once

#include <atomic>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace hid {

class Thread {
 public:
  Thread() = default;
  // A derived class must stop its thread in its own destructor (the body is
  // one of its virtual functions); this destructor only waits as a last resort.
  virtual ~Thread();
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;

  // Starts a thread created suspended; does nothing once it has started.
  // Throws std::system_error, and the thread stays unstarted, when the
  // system cannot create one.
  void Resume();
  // Asks the body to end; the body polls Terminated().
  void Terminate() { terminated_.store(true, std::memory_order_release); }
  bool Terminated() const { return terminated_.load(std::memory_order_acquire); }

  // When set, the object deletes itself as soon as the body has returned.
  void SetFreeOnTerminate(bool Value) { freeOnTerminate_.store(Value); }
  bool FreeOnTerminate() const { return freeOnTerminate_.load(); }

  bool Started() const { return started_; }
  bool Finished() const { return finished_.load(std::memory_order_acquire); }

  // Waits until the body has returned. On the user-interface thread it
  // serves Synchronize calls meanwhile. Returns at once for a thread never
  // started, and when called from the thread itself.
  void WaitFor();

  // An exception that escaped the body, if any.
  std::exception_ptr FatalException() const { return fatalException_; }

 protected:
  virtual void Execute() = 0;

  // Runs Method on the user-interface thread and waits until it has
  // returned; an exception it raises is raised again here. Called on the
  // user-interface thread itself, it runs Method directly.
  void Synchronize(const std::function<void()>& Method);

 private:
  void Run();

  std::mutex startMutex_;
  std::thread thread_;
  std::atomic<bool> terminated_{false};
  std::atomic<bool> finished_{false};
  std::atomic<bool> freeOnTerminate_{false};
  bool started_ = false;
  std::exception_ptr fatalException_;
};

// Runs the Synchronize calls waiting for the user-interface thread. Does
// nothing on any other thread. Returns whether it ran any.
bool CheckSynchronize();

}  // namespace hid
