// The thread's Win32 message queue, where the real notify windows' messages
// wait, and an event that a posted task sets.
#include "base/win32_types.h"
#include "tests/support/thread_messages.h"

namespace simulated_hid {

struct ThreadMessages::State {
  HANDLE posted = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
  ~State() {
    if (posted != nullptr) ::CloseHandle(posted);
  }
};

ThreadMessages::ThreadMessages() : state_(std::make_unique<State>()) {
  MSG message;
  ::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
}

ThreadMessages::~ThreadMessages() = default;

std::size_t ThreadMessages::Dispatch() {
  std::size_t dispatched = 0;
  MSG message;
  while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
    ++dispatched;
  }
  return dispatched;
}

bool ThreadMessages::Waiting() const {
  return (HIWORD(::GetQueueStatus(QS_ALLINPUT)) & (QS_POSTMESSAGE | QS_SENDMESSAGE)) != 0;
}

void ThreadMessages::Wake() { ::SetEvent(state_->posted); }

void ThreadMessages::Wait(std::chrono::milliseconds timeout) {
  ::MsgWaitForMultipleObjects(1, &state_->posted, FALSE, static_cast<DWORD>(timeout.count()), QS_ALLINPUT);
}

}  // namespace simulated_hid
