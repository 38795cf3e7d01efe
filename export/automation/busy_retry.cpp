#include "export/automation/busy_retry.h"

#include <algorithm>
#include <utility>

namespace automation {
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kShortestPause{100};
constexpr milliseconds kLongestPause{500};

BusyRetryTiming& Timing() {
  static BusyRetryTiming timing{[] { return std::chrono::steady_clock::now(); }, &BusyPause};
  return timing;
}

}  // namespace

bool IsBusyAnswer(HRESULT result) { return result == RPC_E_CALL_REJECTED || result == RPC_E_SERVERCALL_RETRYLATER; }

std::optional<milliseconds> BusyRetryPause(milliseconds waited) {
  if (waited >= kBusyRetryLimit) return std::nullopt;
  milliseconds const pause = std::clamp(waited / 4, kShortestPause, kLongestPause);
  return std::min(pause, kBusyRetryLimit - waited);
}

HRESULT RetryWhileBusy(const std::function<HRESULT()>& attempt) {
  BusyRetryTiming const& timing = Timing();
  auto const first = timing.now();
  for (;;) {
    HRESULT const answer = attempt();
    if (!IsBusyAnswer(answer)) return answer;
    auto const waited = std::chrono::duration_cast<milliseconds>(timing.now() - first);
    std::optional<milliseconds> const pause = BusyRetryPause(waited);
    if (!pause) return answer;
    timing.pause(*pause);
  }
}

ScopedBusyRetryTiming::ScopedBusyRetryTiming(BusyRetryTiming timing) : previous_(std::exchange(Timing(), timing)) {}

ScopedBusyRetryTiming::~ScopedBusyRetryTiming() { Timing() = std::move(previous_); }

}  // namespace automation
