// The statistics window's stored layout.
#pragma once

#include "app/stored_layout.h"

namespace app {

extern const FormLayout kStatisticsLayout;

// The rows of figures, a name and its value each, made by the window
// itself in the layout's font: one row per figure of the report.
inline constexpr int kFigureRowTop = 40;
inline constexpr int kFigureRowHeight = 19;
inline constexpr int kFigureNameLeft = 12;
inline constexpr int kFigureValueLeft = 300;

}  // namespace app
