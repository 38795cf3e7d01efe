// The layer's plumbing: method pointers, the worker thread's hand-over to
// the main thread, and the notify window as the event loop serves it.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <stdexcept>

#include "hid/hid_events.h"
#include "hid/notify_window.h"
#include "hid/thread.h"
#include "tests/support/simulated_hid_platform.h"

namespace {

using namespace std::chrono_literals;

struct Base {
  int calls = 0;
  void Plug(TJvHidDevice*) { ++calls; }
  void Other(TJvHidDevice*) { calls += 10; }
  virtual bool Offer(TJvHidDevice*, const std::int32_t index) { return index > 0; }
  virtual ~Base() = default;
};
struct Derived : Base {
  bool Offer(TJvHidDevice*, const std::int32_t index) override { return index > 5; }
};
struct Reader {
  int value = 7;
  int Get() const { return value; }
};

TEST(MethodPointer, ComparesByFunctionAlone) {
  Base one, two;
  const TJvHidPlugEvent a(&one, &Base::Plug), b(&two, &Base::Plug), c(&one, &Base::Other), none;
  EXPECT_TRUE(a.SameFunction(b));
  EXPECT_FALSE(a.SameMethod(b));
  EXPECT_FALSE(a.SameFunction(c));
  EXPECT_FALSE(a.SameFunction(none));
  EXPECT_TRUE(none.SameFunction(TJvHidPlugEvent(nullptr)));
  EXPECT_TRUE(a.Assigned());
  EXPECT_FALSE(none.Assigned());
}

TEST(MethodPointer, CallsTheFunctionOnItsObject) {
  Base one, two;
  TJvHidPlugEvent a(&one, &Base::Plug);
  a(nullptr);
  EXPECT_EQ(one.calls, 1);
  EXPECT_EQ(two.calls, 0);
  TJvHidPlugEvent none;
  none(nullptr);  // unassigned: nothing happens
  Derived derived;
  TJvHidEnumerateEvent offer(&derived, &Base::Offer);  // virtual: the override runs
  EXPECT_FALSE(offer(nullptr, 3));
  EXPECT_TRUE(offer(nullptr, 6));
  const Reader reader;
  TMethod<int()> get(&reader, &Reader::Get);  // a const member on a const object
  EXPECT_EQ(get(), 7);
  auto free = [](void* object, TObject*) { ++*static_cast<int*>(object); };
  int counter = 0;
  TNotifyEvent notify(&counter, +free);
  notify(nullptr);
  EXPECT_EQ(counter, 1);
  EXPECT_TRUE(notify.SameFunction(TNotifyEvent(nullptr, +free)));
}

class Worker : public hid::Thread {
 public:
  std::function<void()> body;
  ~Worker() override {
    Terminate();
    WaitFor();
  }

 protected:
  void Execute() override { body(); }

 public:
  void Sync(const std::function<void()>& f) { Synchronize(f); }
};

TEST(WorkerThread, SynchronizeRunsOnTheMainThreadAndWaits) {
  simulated_hid::TestEventLoop loop;
  Worker worker;
  std::atomic<int> step{0};
  bool ranOnMain = false;
  worker.body = [&] {
    worker.Sync([&] {
      ranOnMain = hid::IsMainThread();
      step = 1;
    });
    step = step == 1 ? 2 : -1;  // only after the synchronized call returned
  };
  EXPECT_FALSE(worker.Started());
  worker.Resume();
  ASSERT_TRUE(loop.RunUntil([&] { return step == 2; }, 2s));
  EXPECT_TRUE(ranOnMain);
  worker.WaitFor();
  EXPECT_TRUE(worker.Finished());
}

TEST(WorkerThread, ExceptionInTheSynchronizedCallReachesTheWorker) {
  simulated_hid::TestEventLoop loop;
  Worker worker;
  std::atomic<bool> caught{false};
  worker.body = [&] {
    try {
      worker.Sync([] { throw std::runtime_error("on the main thread"); });
    } catch (const std::runtime_error&) {
      caught = true;
    }
  };
  worker.Resume();
  ASSERT_TRUE(loop.RunUntil([&] { return caught.load(); }, 2s));
}

TEST(WorkerThread, WaitForServesHandOversEvenWithoutAnEventLoop) {
  simulated_hid::TestEventLoop loop;
  Worker worker;
  int calls = 0;
  worker.body = [&] {
    for (int i = 0; i < 3; ++i) worker.Sync([&] { ++calls; });
  };
  worker.Resume();
  worker.WaitFor();  // the loop never runs
  EXPECT_EQ(calls, 3);
}

TEST(WorkerThread, EscapingExceptionEndsTheThreadAndIsKept) {
  Worker worker;
  worker.body = [] { throw std::logic_error("body failed"); };
  worker.Resume();
  worker.WaitFor();
  EXPECT_TRUE(worker.Finished());
  EXPECT_THROW(std::rethrow_exception(worker.FatalException()), std::logic_error);
}

class SelfDeleting : public hid::Thread {
 public:
  explicit SelfDeleting(std::atomic<bool>& gone) : gone_(gone) {}
  ~SelfDeleting() override { gone_ = true; }

 protected:
  void Execute() override {}

 private:
  std::atomic<bool>& gone_;
};

TEST(WorkerThread, FreeOnTerminateDestroysTheObjectWhenTheBodyEnds) {
  std::atomic<bool> gone{false};
  auto* thread = new SelfDeleting(gone);
  thread->SetFreeOnTerminate(true);
  thread->Resume();
  const auto deadline = std::chrono::steady_clock::now() + 2s;
  while (!gone && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(1ms);
  EXPECT_TRUE(gone);
}

// The first message number free for a program's own use.
constexpr UINT kUserMessage = 0x0400;

// Records the messages a test sends (kUserMessage and up) and the
// device-change notices; everything goes on to the default handling, which
// a real window needs to be created at all.
struct WindowLog {
  std::vector<UINT> messages;
  static LRESULT Proc(void* context, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= kUserMessage || message == WM_DEVICECHANGE) {
      static_cast<WindowLog*>(context)->messages.push_back(message);
    }
    return hid::DefaultNotifyProc(window, message, wParam, lParam);
  }
  int Count(UINT message) const { return static_cast<int>(std::count(messages.begin(), messages.end(), message)); }
};

TEST(NotifyWindow, PostedMessagesArriveThroughTheLoopAndDieWithTheWindow) {
  simulated_hid::TestEventLoop loop;
  WindowLog first, second;
  HWND a = hid::CreateNotifyWindow(&WindowLog::Proc, &first);
  HWND b = hid::CreateNotifyWindow(&WindowLog::Proc, &second);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  ASSERT_NE(a, b);
  EXPECT_TRUE(hid::PostNotifyMessage(a, kUserMessage, 0, 0));
  EXPECT_TRUE(first.messages.empty());  // posted, not sent
  hid::BroadcastDeviceChange();
  hid::DestroyNotifyWindow(b);  // its broadcast copy is dropped
  loop.RunPending();
  EXPECT_EQ(first.Count(kUserMessage), 1);
  // The system may broadcast a change of its own meanwhile.
  EXPECT_GE(first.Count(WM_DEVICECHANGE), 1);
  EXPECT_TRUE(second.messages.empty());
  EXPECT_FALSE(hid::PostNotifyMessage(b, kUserMessage, 0, 0));
  EXPECT_EQ(hid::DefaultNotifyProc(a, kUserMessage, 0, 0), 0);
  hid::DestroyNotifyWindow(a);
}

}  // namespace
