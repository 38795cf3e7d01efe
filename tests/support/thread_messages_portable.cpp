// Without real notify windows: no window messages, and a wait on a
// condition that a posted task signals.
#include <condition_variable>
#include <mutex>

#include "tests/support/thread_messages.h"

namespace simulated_hid {

struct ThreadMessages::State {
  std::mutex mutex;
  std::condition_variable woken;
  bool wake = false;
};

ThreadMessages::ThreadMessages() : state_(std::make_unique<State>()) {}
ThreadMessages::~ThreadMessages() = default;

std::size_t ThreadMessages::Dispatch() { return 0; }

bool ThreadMessages::Waiting() const { return false; }

void ThreadMessages::Wake() {
  {
    std::lock_guard lock(state_->mutex);
    state_->wake = true;
  }
  state_->woken.notify_all();
}

void ThreadMessages::Wait(std::chrono::milliseconds timeout) {
  std::unique_lock lock(state_->mutex);
  state_->woken.wait_for(lock, timeout, [this] { return state_->wake; });
  state_->wake = false;
}

}  // namespace simulated_hid
