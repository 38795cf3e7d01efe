// The controller's hidden notify window.
//
// On Windows it is a real hidden top-level window (not message-only, so that
// it receives the system's WM_DEVICECHANGE broadcast), served by the thread's
// Win32 message loop. Elsewhere it is a small window emulation: messages
// posted to it are queued through the main-thread dispatcher, and the
// platform's device-change monitor broadcasts WM_DEVICECHANGE /
// DBT_DEVNODES_CHANGED to every notify window, as Windows does.
#pragma once

#include "base/win32_types.h"

namespace hid {

using NotifyProc = LRESULT (*)(void* context, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Creates the hidden window; every message it receives goes to proc(context, ...).
// Returns nullptr on failure.
HWND CreateNotifyWindow(NotifyProc proc, void* context);
// Messages still queued for a destroyed window are dropped.
void DestroyNotifyWindow(HWND window);

// Posts, does not send: the message is handled later on the window's thread.
BOOL PostNotifyMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The default handling of a message (DefWindowProcA on Windows).
LRESULT DefaultNotifyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Posts WM_DEVICECHANGE / DBT_DEVNODES_CHANGED (LParam 0) to every notify
// window: what the system broadcasts when device nodes change.
void BroadcastDeviceChange();

}  // namespace hid
