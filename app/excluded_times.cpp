#include "app/excluded_times.h"

#include <algorithm>

#include "app/kit/string_grid.h"
#include "app/statistics/statistics_report.h"
#include "stopwatch/measurement_table.h"

namespace app {
namespace {

// Where the grid starts a cell's text, in from its top-left corner.
constexpr int kGridTextInset = 2;

// A line through the middle of a text drawn at (x, y), ending at `right` at the latest.
// Drawn as a line of its own rather than with a struck-out font, whose line
// each system puts elsewhere: the same on every backend.
void StrikeThrough(TCanvas& canvas, int x, int y, TSize text, int right, TColor color, int lineWidth) {
  const TPen pen = canvas.pen;
  canvas.pen.SetColor(color);
  canvas.pen.SetWidth(lineWidth);
  canvas.pen.SetStyle(TPenStyle::psSolid);
  const int middle = y + text.Height / 2;
  canvas.MoveTo(x, middle);
  canvas.LineTo(std::min(x + text.Width, right), middle);
  canvas.pen = pen;
}

}  // namespace

void ExcludeSelectedTimes(const TStringGrid& grid, const std::string& separator, stopwatch::ExcludedSlots& excluded) {
  for (const SlotTime& time : TimesInBlock(grid, grid.Selection(), separator)) excluded.Exclude(time.slot);
}

void RestoreSelectedTimes(const TStringGrid& grid, stopwatch::ExcludedSlots& excluded) {
  const TGridRect block = grid.Selection();
  for (int row = block.Top; row <= block.Bottom; ++row)
    for (int col = block.Left; col <= block.Right; ++col)
      if (!stopwatch::IsHeaderCell(col, row) && !stopwatch::IsHiddenCell(col, row))
        excluded.Restore(stopwatch::SlotAt(col, row));
}

void DrawExcludedTime(TCanvas& canvas, int x, int y, const std::string& text, TColor color, int lineWidth) {
  canvas.font.SetColor(color);
  canvas.TextAt(x, y, text);
  const TSize size = canvas.TextExtent(text);
  StrikeThrough(canvas, x, y, size, x + size.Width, color, lineWidth);
}

void DrawExcludedCell(TCanvas& canvas, const TRect& rect, const std::string& text, TGridDrawState state) {
  // On a selection's colour grey would hardly show: the line does the marking there.
  const bool highlighted = state.Selected && !state.Focused;
  const TColor color = highlighted ? clHighlightText : kExcludedTimeColor;
  const int x = rect.Left + kGridTextInset;
  const int y = rect.Top + kGridTextInset;
  canvas.brush.SetColor(highlighted ? clHighlight : clWindow);
  canvas.font.SetColor(color);
  canvas.TextRect(rect, x, y, text);
  StrikeThrough(canvas, x, y, canvas.TextExtent(text), rect.Right, color, 1);
}

}  // namespace app
