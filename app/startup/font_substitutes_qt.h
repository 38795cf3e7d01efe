// The stored layout asks for "Arial" and "Courier". Where a machine lacks
// them (any Linux desktop without Microsoft's fonts), the window should look
// the same everywhere rather than take whatever the desktop's font matching
// offers first: Nimbus Mono PS on one machine, Liberation Mono on the next.
#pragma once

namespace app {

// Sends each missing family of the layout to its metric-compatible
// replacement that the program's installation brings (fonts-liberation).
// A machine that has the original keeps it. Call after the application
// object exists and before the first window is created.
void SubstituteMissingFonts();

}  // namespace app
