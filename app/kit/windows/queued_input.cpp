// Input that queued up while a handler held the window is dropped: the
// keys and clicks the user gave a window that did not answer must not
// start the same work again, one after another.
#include "app/kit/backend.h"
#include "app/kit/windows/application_window.h"
#include "app/kit/windows/native.h"

namespace kit {
namespace {

// Keyboard, mouse (client and frame), touch and pointer messages.
constexpr struct {
  UINT first;
  UINT last;
} kInputRanges[] = {
    {WM_KEYFIRST, WM_KEYLAST},
    {WM_MOUSEFIRST, WM_MOUSELAST},
    {WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK},
    {0x0240, 0x024F},  // WM_TOUCH and the pointer messages
};

bool IsInput(UINT message) {
  for (const auto& range : kInputRanges)
    if (message >= range.first && message <= range.last) return true;
  return false;
}

// Whether input stamped `time` came after `since` (tick counts, which wrap).
bool CameAfter(DWORD time, DWORD since) { return static_cast<LONG>(time - since) > 0; }

}  // namespace

void DropQueuedInput() {
  DWORD const ended = ::GetTickCount();
  MSG message;
  // Peeking also fetches what the system still holds for the thread (the
  // display's events), so the input that came meanwhile is all there.
  for (const auto& range : kInputRanges)
    while (::PeekMessageW(&message, nullptr, range.first, range.last, PM_REMOVE)) {
    }
  // Then the rest is delivered: posted work, paints, timers. Input the user
  // gives meanwhile, to a window that answers again, is the user's: the
  // delivery stops there and leaves it, and what follows it, to the loop.
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
    if (IsInput(message.message) && CameAfter(message.time, ended)) return;
    ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);
    if (message.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (IsInput(message.message)) {
      if (!CameAfter(message.time, ended)) continue;
      // It came between the look and the taking: handled as the loop would.
      if (!win::HandleDialogKeys(message)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
      }
      return;
    }
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

}  // namespace kit
