// Calls that an automation server rejects because it is busy: starting up,
// or showing a box of its own, MS Excel answers RPC_E_CALL_REJECTED (or
// RPC_E_SERVERCALL_RETRYLATER) without carrying the call out. Such a call
// is safe to make again, and it is: after a pause that grows with the time
// already waited, until about ten seconds have passed since its first try.
// Only then does the rejection stand, and reach the user.
//
// The late-bound call and the creation of an instance both go through here.
// Where the system itself retries rejected calls (Windows, through the
// thread's message filter), it follows the same schedule, and its time
// counts towards the same ten seconds.
#pragma once

#include <chrono>
#include <functional>
#include <optional>

#include "export/automation/com_types.h"

namespace automation {

inline constexpr std::chrono::milliseconds kBusyRetryLimit{10000};

// RPC_E_CALL_REJECTED or RPC_E_SERVERCALL_RETRYLATER.
bool IsBusyAnswer(HRESULT result);

// The pause before the next try once `waited` has passed since the first:
// a tenth of a second at first, growing to half a second; never past the
// limit. Empty once the limit is reached.
std::optional<std::chrono::milliseconds> BusyRetryPause(std::chrono::milliseconds waited);

// Makes the call `attempt` stands for until its answer is not a busy one or
// the limit has passed; answers its last answer.
HRESULT RetryWhileBusy(const std::function<HRESULT()>& attempt);

// The clock the retries read and the pause they make. The program's are the
// steady clock and BusyPause; a test puts its own in for as long as a
// ScopedBusyRetryTiming lives (on one thread at a time).
struct BusyRetryTiming {
  std::function<std::chrono::steady_clock::time_point()> now;
  std::function<void(std::chrono::milliseconds)> pause;
};
class ScopedBusyRetryTiming {
 public:
  explicit ScopedBusyRetryTiming(BusyRetryTiming timing);
  ~ScopedBusyRetryTiming();
  ScopedBusyRetryTiming(const ScopedBusyRetryTiming&) = delete;
  ScopedBusyRetryTiming& operator=(const ScopedBusyRetryTiming&) = delete;

 private:
  BusyRetryTiming previous_;
};

// The pause between two tries, as the platform makes it: on Windows a wait
// of COM's that keeps the window painted and answering the system while
// the user's input waits in the queue (and is dropped when the handler
// ends, as after any handler that held the window); elsewhere a sleep.
void BusyPause(std::chrono::milliseconds length);

// The system's own retries of rejected calls for the calling thread, where
// it makes them: on Windows a message filter (CoRegisterMessageFilter) that
// retries on the schedule above; nothing elsewhere. ComSession installs it
// once COM is initialised and removes it before COM goes.
void InstallBusyCallFilter();
void RemoveBusyCallFilter();

}  // namespace automation
