// Runs a window's event handler the way the application object does: an
// exception that leaves the handler is shown in the standard error box and
// dropped, so the window goes on working. No exception may unwind through
// the system's event loop.
#pragma once

#include <functional>

namespace kit {

// True when the handler ran to its end, false when it threw.
bool RunHandler(const std::function<void()>& handler);

}  // namespace kit
