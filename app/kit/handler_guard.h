// Runs a window's event handler the way the application object does: an
// exception that leaves the handler is shown in the standard error box and
// dropped, so the window goes on working. Qt must never see an exception
// unwind through its event loop.
#pragma once

#include <functional>

namespace app {

// True when the handler ran to its end, false when it threw.
bool RunHandler(const std::function<void()>& handler);

}  // namespace app
