// Times set aside from the figures ("Исключить из расчёта"): which of the
// grid's cells they are, and how they show, in the grid and on the lab
// sheet alike: the text stays, grey and struck through.
#pragma once

#include <string>

#include "app/kit/canvas.h"
#include "app/kit/grid_types.h"
#include "stopwatch/excluded_slots.h"

class TStringGrid;

namespace app {

// The grey an excluded time is written in, where no selection colours it.
inline constexpr TColor kExcludedTimeColor = RGBColor(0x80, 0x80, 0x80);

// Sets aside the times in the grid's selection (its current cell when
// nothing more is selected); headers, hidden cells and slots without a time
// are passed by. Numbers are written with `separator`.
void ExcludeSelectedTimes(const TStringGrid& grid, const std::string& separator, stopwatch::ExcludedSlots& excluded);
// Takes back every slot of the selection.
void RestoreSelectedTimes(const TStringGrid& grid, stopwatch::ExcludedSlots& excluded);

// `text` with its top-left corner at (x, y) in `color`, and a line of that
// colour `lineWidth` pixels wide through the middle of it.
void DrawExcludedTime(TCanvas& canvas, int x, int y, const std::string& text, TColor color, int lineWidth = 1);

// A grid cell holding an excluded time, painted over the grid's own
// painting of it: the same background, the text where the grid puts it.
void DrawExcludedCell(TCanvas& canvas, const TRect& rect, const std::string& text, TGridDrawState state);

}  // namespace app
