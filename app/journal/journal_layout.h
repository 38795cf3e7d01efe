// The journal window's stored layout.
#pragma once

#include "app/stored_layout.h"

namespace app {

extern const FormLayout kJournalLayout;

// The list's columns: date, time, number of times, mean, file.
inline constexpr int kJournalColumnWidths[] = {92, 84, 96, 104, 184};

}  // namespace app
