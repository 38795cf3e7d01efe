// Busy servers where COM is the program's own: its servers live in the
// process, so nothing between them and the caller retries on its own, and
// a pause between two tries is a plain sleep.
#include <thread>

#include "export/automation/busy_retry.h"

namespace automation {

void BusyPause(std::chrono::milliseconds length) { std::this_thread::sleep_for(length); }

void InstallBusyCallFilter() {}
void RemoveBusyCallFilter() {}

}  // namespace automation
