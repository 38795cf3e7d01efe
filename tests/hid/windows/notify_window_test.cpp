// The hidden notify window over the real Win32 window machinery.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "hid/notify_window.h"

namespace {

struct Received {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD thread;
};

// A notify proc's context: records every message, then lets the default
// handling have it.
struct Recorder {
  std::vector<Received> messages;
  bool refuseCreation = false;

  int Count(UINT message, WPARAM wParam, LPARAM lParam) const {
    return static_cast<int>(std::count_if(messages.begin(), messages.end(), [&](const Received& r) {
      return r.message == message && r.wParam == wParam && r.lParam == lParam;
    }));
  }
  bool Saw(UINT message) const {
    return std::any_of(messages.begin(), messages.end(), [&](const Received& r) { return r.message == message; });
  }
};

LRESULT RecordingProc(void* context, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* recorder = static_cast<Recorder*>(context);
  recorder->messages.push_back({window, message, wParam, lParam, ::GetCurrentThreadId()});
  if (message == WM_NCCREATE && recorder->refuseCreation) return FALSE;
  return hid::DefaultNotifyProc(window, message, wParam, lParam);
}

// Serves this thread's message queue for a while, as the program's loop
// would.
void Pump(DWORD milliseconds = 200) {
  const ULONGLONG end = ::GetTickCount64() + milliseconds;
  for (;;) {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
    const ULONGLONG now = ::GetTickCount64();
    if (now >= end) return;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
  }
}

constexpr LPARAM kStartUp = -1;

TEST(WindowsNotifyWindow, PostedDeviceChangeReachesTheProcWithItsContextOnTheLoop) {
  Recorder recorder;
  HWND window = hid::CreateNotifyWindow(&RecordingProc, &recorder);
  ASSERT_NE(window, nullptr);
  // Every message goes to the proc, the creation messages included.
  EXPECT_TRUE(recorder.Saw(WM_NCCREATE));
  EXPECT_TRUE(recorder.Saw(WM_CREATE));

  ASSERT_TRUE(hid::PostNotifyMessage(window, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, kStartUp));
  EXPECT_EQ(recorder.Count(WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, kStartUp), 0) << "posted, not sent";
  Pump();
  ASSERT_EQ(recorder.Count(WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, kStartUp), 1);
  const auto delivered = std::find_if(recorder.messages.begin(), recorder.messages.end(),
                                      [](const Received& r) { return r.lParam == kStartUp; });
  EXPECT_EQ(delivered->window, window);
  EXPECT_EQ(delivered->thread, ::GetCurrentThreadId());

  hid::DestroyNotifyWindow(window);
  EXPECT_TRUE(recorder.Saw(WM_DESTROY));
  EXPECT_TRUE(recorder.Saw(WM_NCDESTROY));
  EXPECT_FALSE(::IsWindow(window));
}

TEST(WindowsNotifyWindow, IsAHiddenTopLevelWindowThatBroadcastsReach) {
  Recorder recorder;
  HWND window = hid::CreateNotifyWindow(&RecordingProc, &recorder);
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(::IsWindowVisible(window));
  EXPECT_EQ(::GetParent(window), nullptr);
  EXPECT_EQ(::GetAncestor(window, GA_PARENT), ::GetDesktopWindow()) << "not a message-only window";

  // A message-only window would miss this: broadcasts go to top-level
  // windows only. A message of our own, not to disturb other programs.
  const UINT probe = ::RegisterWindowMessageA("LumetraNotifyWindowBroadcastProbe");
  ASSERT_NE(probe, 0u);
  ASSERT_TRUE(::PostMessageA(HWND_BROADCAST, probe, 7, 11));
  Pump();
  EXPECT_EQ(recorder.Count(probe, 7, 11), 1);

  hid::DestroyNotifyWindow(window);
}

TEST(WindowsNotifyWindow, DefaultHandlingPassesThrough) {
  Recorder recorder;
  HWND window = hid::CreateNotifyWindow(&RecordingProc, &recorder);
  ASSERT_NE(window, nullptr);
  // Window text is kept by the default handling alone.
  const char text[] = "lumetra";
  EXPECT_TRUE(hid::DefaultNotifyProc(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)));
  char back[32] = {};
  EXPECT_EQ(::GetWindowTextA(window, back, sizeof back), 7);
  EXPECT_STREQ(back, text);
  EXPECT_TRUE(recorder.Saw(WM_GETTEXT));
  hid::DestroyNotifyWindow(window);

  // A proc that refuses WM_NCCREATE instead of passing it on: no window.
  Recorder refusing;
  refusing.refuseCreation = true;
  EXPECT_EQ(hid::CreateNotifyWindow(&RecordingProc, &refusing), nullptr);
  EXPECT_TRUE(refusing.Saw(WM_NCCREATE));
}

TEST(WindowsNotifyWindow, MessagesQueuedForADestroyedWindowAreDropped) {
  Recorder recorder;
  HWND window = hid::CreateNotifyWindow(&RecordingProc, &recorder);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(hid::PostNotifyMessage(window, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, kStartUp));
  hid::DestroyNotifyWindow(window);
  const auto seenAtDestruction = recorder.messages.size();
  Pump();
  EXPECT_EQ(recorder.messages.size(), seenAtDestruction);
  EXPECT_EQ(recorder.Count(WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, kStartUp), 0);
  EXPECT_FALSE(hid::PostNotifyMessage(window, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, kStartUp));
}

TEST(WindowsNotifyWindow, BroadcastDeviceChangeReachesEveryLiveNotifyWindow) {
  Recorder first, second;
  HWND a = hid::CreateNotifyWindow(&RecordingProc, &first);
  HWND b = hid::CreateNotifyWindow(&RecordingProc, &second);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);

  hid::BroadcastDeviceChange();
  Pump();
  // The system may broadcast the same change on its own at any time, so
  // at least one each.
  EXPECT_GE(first.Count(WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0), 1);
  EXPECT_GE(second.Count(WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0), 1);

  hid::DestroyNotifyWindow(a);
  hid::DestroyNotifyWindow(b);
}

}  // namespace
