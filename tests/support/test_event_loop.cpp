// The test event loop: posted tasks, run in rounds together with the
// thread's window messages (thread_messages.h).
#include "tests/support/test_event_loop.h"

#include <algorithm>
#include <deque>
#include <mutex>

#include "tests/support/thread_messages.h"

namespace simulated_hid {

struct TestEventLoop::Queue {
  std::mutex mutex;
  std::deque<std::function<void()>> tasks;
  ThreadMessages messages;

  std::size_t Waiting() {
    std::lock_guard lock(mutex);
    return tasks.size();
  }

  // The next task, or an empty one when none waits.
  std::function<void()> Take() {
    std::lock_guard lock(mutex);
    if (tasks.empty()) return {};
    std::function<void()> task = std::move(tasks.front());
    tasks.pop_front();
    return task;
  }
};

TestEventLoop::TestEventLoop() : queue_(std::make_unique<Queue>()) {
  previous_ = hid::CurrentMainThreadDispatcher();
  hid::SetMainThreadDispatcher(this);
}

TestEventLoop::~TestEventLoop() { hid::SetMainThreadDispatcher(previous_); }

void TestEventLoop::Post(std::function<void()> task) {
  {
    std::lock_guard lock(queue_->mutex);
    queue_->tasks.push_back(std::move(task));
  }
  queue_->messages.Wake();
}

std::size_t TestEventLoop::RunPending() {
  std::size_t ran = 0;
  for (;;) {
    std::size_t round = queue_->messages.Dispatch();
    // The tasks waiting at this point; those they post come in the next round,
    // after the messages that came meanwhile.
    for (std::size_t waiting = queue_->Waiting(); waiting > 0; --waiting) {
      std::function<void()> task = queue_->Take();
      if (!task) break;
      task();
      ++round;
    }
    if (round == 0) return ran;
    ran += round;
  }
}

bool TestEventLoop::RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + timeout;
  for (;;) {
    RunPending();
    if (done()) return true;
    const Clock::time_point now = Clock::now();
    if (now >= deadline) return false;
    // Other threads may change what done() looks at without posting: look
    // again at least every millisecond.
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
    queue_->messages.Wait(std::min(left, std::chrono::milliseconds(1)));
  }
}

std::size_t TestEventLoop::Pending() const { return queue_->Waiting() + (queue_->messages.Waiting() ? 1 : 0); }

}  // namespace simulated_hid
