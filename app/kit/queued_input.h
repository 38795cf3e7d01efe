// Input that queued up while a handler held the window.
#pragma once

namespace app {

// Delivers what waits in the event queue, dropping the mouse, keyboard,
// wheel and touch input among it. Called when a handler that held the
// window (a read, an export) returns: clicks the user made meanwhile must
// not start the same work again afterwards, one after another.
void DropQueuedInput();

}  // namespace app
