// Tasks posted by the HID layer run later, in order, on the user-interface thread.
#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>
#include <vector>

#include "app/adapters/main_thread_dispatcher.h"
#include "app/kit/backend.h"
#include "tests/app/fake_dialogs.h"

TEST(MainThreadDispatcher, RunsTasksFromAnyThreadOnTheUserInterfaceThreadInOrder) {
  app::MainThreadDispatcher dispatcher;
  std::vector<int> ran;
  std::vector<std::thread::id> threads;
  std::thread poster([&] {
    for (int i = 0; i < 100; ++i)
      dispatcher.Post([&, i] {
        ran.push_back(i);
        threads.push_back(std::this_thread::get_id());
      });
  });
  poster.join();
  EXPECT_TRUE(ran.empty());  // nothing runs inside Post
  kit::Application::Instance()->ProcessMessages();
  ASSERT_EQ(ran.size(), 100u);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(ran[i], i);
  for (std::thread::id thread : threads) EXPECT_EQ(thread, std::this_thread::get_id());
}

TEST(MainThreadDispatcher, DropsTasksStillQueuedWhenDestroyed) {
  bool ran = false;
  {
    app::MainThreadDispatcher dispatcher;
    dispatcher.Post([&] { ran = true; });
  }
  kit::Application::Instance()->ProcessMessages();
  EXPECT_FALSE(ran);
}

// A handler that fails inside a task (one the controller's re-scan called)
// shows the error box and stops nothing: the next task runs.
TEST(MainThreadDispatcher, ATaskThatThrowsShowsTheErrorBoxAndTheNextTaskRuns) {
  FakeDialogs dialogs;
  kit::ScopedDialogs installed{dialogs};
  app::MainThreadDispatcher dispatcher;
  bool nextRan = false;
  dispatcher.Post([] { throw std::runtime_error("Handler failed"); });
  dispatcher.Post([&] { nextRan = true; });
  kit::Application::Instance()->ProcessMessages();
  ASSERT_EQ(dialogs.errors.size(), 1u);
  EXPECT_EQ(dialogs.errors[0].text, "Handler failed.");
  EXPECT_TRUE(nextRan);
}
