// Driving another program's windows from outside, as a user, or a tool
// that reads the screen for one, does: finding its windows, reading their
// texts, clicking, typing, reading the clipboard and the screen's pixels.
// Nothing here reaches into the program: every message crosses the process
// boundary the way the system carries it.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace outside {

using namespace std::chrono_literals;

// Calls `done` every 20 ms until it answers true or `limit` has passed;
// answers its last answer.
bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit);

// The visible top-level windows of a process, of a window class.
std::vector<HWND> TopLevelWindows(DWORD process, const std::wstring& windowClass);

struct Child {
  HWND hwnd;
  std::wstring windowClass;
  std::string text;  // UTF-8
  LONG style;
  int id;
};
// Every descendant of `parent`, in the system's order.
std::vector<Child> Children(HWND parent);

// The window's text as its own thread answers WM_GETTEXT (UTF-8; empty when
// the program does not answer within a few seconds).
std::string Text(HWND window);
bool SetText(HWND window, const std::string& text);

// A left click in the middle of a control: the button's press and release,
// posted to it as the system posts the user's.
void Click(HWND control);
// A left click as the mouse gives it (SendInput): the pointer moved to the
// middle of the control, pressed and released; the system decides which
// window takes it, as it does for the user's.
bool ClickWithTheMouse(HWND control);
// The window that has the keyboard focus in a thread of another program.
HWND FocusOf(DWORD thread);
// Clicks `control` until it has the focus, every 200 ms, for at most
// `limit`: a program drops the clicks given while a handler held its window,
// so the focus moving shows that the window takes the user's input again.
bool ClickUntilFocused(HWND control, std::chrono::milliseconds limit);
// Ctrl+C typed on the keyboard, into whatever window has the focus.
bool TypeCtrlC();

// The clipboard's Unicode text (UTF-8) and its change count.
std::string ClipboardText();
DWORD ClipboardChanges();

// The pixels (0x00RRGGBB) the screen shows of a window, row by row.
struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<DWORD> rgb;
  int Count(const std::function<bool(int r, int g, int b)>& test) const;
};
Pixels OnScreen(HWND window);

std::wstring Wide(const std::string& text);
std::string Narrow(const std::wstring& text);

}  // namespace outside
