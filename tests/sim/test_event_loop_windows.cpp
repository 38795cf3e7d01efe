// The test event loop on Windows: posted tasks, and the thread's Win32
// message queue, where the real notify windows' messages wait.
#include <algorithm>
#include <deque>
#include <mutex>

#include "base/win32_types.h"
#include "tests/sim/test_event_loop.h"

namespace hidsim {

struct TestEventLoop::Queue {
  std::mutex mutex;
  std::deque<std::function<void()>> tasks;
  // Set by Post, so that a wait for window messages also ends for a task.
  HANDLE posted = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);

  ~Queue() {
    if (posted != nullptr) ::CloseHandle(posted);
  }

  std::size_t Waiting() {
    std::lock_guard lock(mutex);
    return tasks.size();
  }

  std::function<void()> Take() {
    std::lock_guard lock(mutex);
    if (tasks.empty()) return {};
    std::function<void()> task = std::move(tasks.front());
    tasks.pop_front();
    return task;
  }

  // Dispatches the window messages waiting now; returns how many.
  static std::size_t DispatchMessages() {
    std::size_t dispatched = 0;
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageA(&message);
      ++dispatched;
    }
    return dispatched;
  }
};

TestEventLoop::TestEventLoop() : queue_(std::make_unique<Queue>()) {
  // The thread gets its message queue before anything is posted to it.
  MSG message;
  ::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
  previous_ = hid::CurrentMainThreadDispatcher();
  hid::SetMainThreadDispatcher(this);
}

TestEventLoop::~TestEventLoop() { hid::SetMainThreadDispatcher(previous_); }

void TestEventLoop::Post(std::function<void()> task) {
  {
    std::lock_guard lock(queue_->mutex);
    queue_->tasks.push_back(std::move(task));
  }
  ::SetEvent(queue_->posted);
}

std::size_t TestEventLoop::RunPending() {
  std::size_t ran = 0;
  for (;;) {
    std::size_t round = Queue::DispatchMessages();
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
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count();
    ::MsgWaitForMultipleObjects(1, &queue_->posted, FALSE, static_cast<DWORD>(std::min<long long>(left, 1)),
                                QS_ALLINPUT);
  }
}

std::size_t TestEventLoop::Pending() const {
  std::size_t waiting = queue_->Waiting();
  if ((HIWORD(::GetQueueStatus(QS_ALLINPUT)) & (QS_POSTMESSAGE | QS_SENDMESSAGE)) != 0) ++waiting;
  return waiting;
}

}  // namespace hidsim
