// The test event loop where notify-window messages are posted tasks: a
// plain queue of tasks.
#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>

#include "tests/sim/test_event_loop.h"

namespace hidsim {

struct TestEventLoop::Queue {
  std::mutex mutex;
  std::condition_variable posted;
  std::deque<std::function<void()>> tasks;

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
  queue_->posted.notify_all();
}

std::size_t TestEventLoop::RunPending() {
  std::size_t ran = 0;
  while (std::function<void()> task = queue_->Take()) {
    task();
    ++ran;
  }
  return ran;
}

bool TestEventLoop::RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + timeout;
  for (;;) {
    RunPending();
    if (done()) return true;
    if (Clock::now() >= deadline) return false;
    // Other threads may change what done() looks at without posting: look
    // again at least every millisecond.
    std::unique_lock lock(queue_->mutex);
    queue_->posted.wait_until(lock, std::min(deadline, Clock::now() + std::chrono::milliseconds(1)),
                              [this] { return !queue_->tasks.empty(); });
  }
}

std::size_t TestEventLoop::Pending() const {
  std::lock_guard lock(queue_->mutex);
  return queue_->tasks.size();
}

}  // namespace hidsim
