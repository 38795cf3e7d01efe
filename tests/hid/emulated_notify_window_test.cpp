// The notify-window emulation: its messages travel as tasks through the
// main-thread dispatcher, so without one nothing can be posted. (A real
// Windows window has a message queue of its own.)
#include <gtest/gtest.h>

#include "hid/main_thread.h"
#include "hid/notify_window.h"

namespace {

LRESULT IgnoreMessage(void*, HWND, UINT, WPARAM, LPARAM) { return 0; }

TEST(NotifyWindowEmulation, PostingFailsWithoutADispatcher) {
  HWND window = hid::CreateNotifyWindow(&IgnoreMessage, nullptr);
  ASSERT_NE(window, nullptr);
  hid::MainThreadDispatcher* installed = hid::CurrentMainThreadDispatcher();
  hid::SetMainThreadDispatcher(nullptr);
  EXPECT_FALSE(hid::PostNotifyMessage(window, 0x400, 0, 0));
  hid::SetMainThreadDispatcher(installed);
  hid::DestroyNotifyWindow(window);
}

}  // namespace
