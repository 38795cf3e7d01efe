// Tasks posted by the HID layer run later, in order, on the user-interface thread.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <memory>
#include <thread>
#include <vector>

#include "app/adapters/qt_main_thread_dispatcher.h"

TEST(QtMainThreadDispatcher, RunsTasksFromAnyThreadOnTheGuiThreadInOrder) {
  app::QtMainThreadDispatcher dispatcher;
  std::vector<int> ran;
  std::vector<QThread*> threads;
  std::thread poster([&] {
    for (int i = 0; i < 100; ++i)
      dispatcher.Post([&, i] {
        ran.push_back(i);
        threads.push_back(QThread::currentThread());
      });
  });
  poster.join();
  EXPECT_TRUE(ran.empty());  // nothing runs inside Post
  QCoreApplication::processEvents();
  ASSERT_EQ(ran.size(), 100u);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(ran[i], i);
  for (QThread* thread : threads) EXPECT_EQ(thread, QCoreApplication::instance()->thread());
}

TEST(QtMainThreadDispatcher, DropsTasksStillQueuedWhenDestroyed) {
  bool ran = false;
  {
    app::QtMainThreadDispatcher dispatcher;
    dispatcher.Post([&] { ran = true; });
  }
  QCoreApplication::processEvents();
  EXPECT_FALSE(ran);
}
