#include "hid/thread.h"

#include <condition_variable>
#include <deque>

#include "hid/main_thread.h"

namespace hid {
namespace {

// One call waiting for the user-interface thread; it lives on the stack of
// the thread that waits for it.
struct SyncRequest {
  const std::function<void()>* method = nullptr;
  bool done = false;
  std::exception_ptr error;
};

// The hand-over queue shared by all threads, and the condition that wakes
// both the waiting workers and a user-interface thread inside WaitFor.
struct SyncState {
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<SyncRequest*> queue;
};

SyncState& Sync() {
  static SyncState state;
  return state;
}

}  // namespace

bool CheckSynchronize() {
  if (!IsMainThread()) return false;
  SyncState& sync = Sync();
  bool ran = false;
  for (;;) {
    SyncRequest* request = nullptr;
    {
      std::lock_guard lock(sync.mutex);
      if (sync.queue.empty()) break;
      request = sync.queue.front();
      sync.queue.pop_front();
    }
    std::exception_ptr error;
    try {
      (*request->method)();
    } catch (...) {
      error = std::current_exception();
    }
    {
      std::lock_guard lock(sync.mutex);
      request->error = error;
      request->done = true;  // the request may be gone as soon as the lock is released
    }
    sync.changed.notify_all();
    ran = true;
  }
  return ran;
}

Thread::~Thread() {
  if (started_ && thread_.joinable()) {
    Terminate();
    WaitFor();
  }
}

void Thread::Resume() {
  std::lock_guard lock(startMutex_);
  if (started_) return;
  // Started only once the thread exists: a creation that fails (it throws
  // std::system_error) leaves a thread that WaitFor does not wait for.
  thread_ = std::thread([this] { Run(); });
  started_ = true;
}

void Thread::Run() {
  // Resume assigns thread_ under this lock; wait until it has.
  { std::lock_guard lock(startMutex_); }
  try {
    Execute();
  } catch (...) {
    fatalException_ = std::current_exception();
  }
  if (freeOnTerminate_.load()) {
    thread_.detach();
    finished_.store(true, std::memory_order_release);
    delete this;
    return;
  }
  SyncState& sync = Sync();
  {
    std::lock_guard lock(sync.mutex);
    finished_.store(true, std::memory_order_release);
  }
  sync.changed.notify_all();
}

void Thread::WaitFor() {
  if (!started_) return;
  if (thread_.get_id() == std::this_thread::get_id()) return;
  if (IsMainThread()) {
    SyncState& sync = Sync();
    std::unique_lock lock(sync.mutex);
    while (!Finished()) {
      if (!sync.queue.empty()) {
        lock.unlock();
        CheckSynchronize();
        lock.lock();
        continue;
      }
      sync.changed.wait(lock);
    }
  }
  if (thread_.joinable()) thread_.join();
}

void Thread::Synchronize(const std::function<void()>& Method) {
  if (IsMainThread()) {
    Method();
    return;
  }
  SyncState& sync = Sync();
  SyncRequest request;
  request.method = &Method;
  {
    std::lock_guard lock(sync.mutex);
    sync.queue.push_back(&request);
  }
  // Wakes a user-interface thread that is inside WaitFor ...
  sync.changed.notify_all();
  // ... and one that is in its event loop.
  if (MainThreadDispatcher* dispatcher = CurrentMainThreadDispatcher()) {
    dispatcher->Post([] { CheckSynchronize(); });
  }
  {
    std::unique_lock lock(sync.mutex);
    sync.changed.wait(lock, [&] { return request.done; });
  }
  if (request.error) std::rethrow_exception(request.error);
}

}  // namespace hid
