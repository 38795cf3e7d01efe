// What a backend draws with while a control paints: the system's painter
// (a QPainter, a device context) behind a few operations. Coordinates are
// the control's client layout pixels; colours may be system colours.
// Nothing is smoothed: the same drawing gives the same pixels on every
// backend, as far as the systems' own rasterisers agree.
#pragma once

#include <string>

#include "app/kit/colors.h"
#include "app/kit/font.h"
#include "app/kit/geometry.h"

// How a line is drawn: whole, or in dashes.
enum class TPenStyle { psSolid, psDash };

namespace kit {

class PaintDevice {
 public:
  virtual ~PaintDevice() = default;

  virtual void FillRect(const TRect& rect, TColor color) = 0;
  // Only the glyphs of `text`, in the font and its colour, with the top-left
  // corner of the text's line box at (x, y). With a clip rectangle nothing
  // is drawn outside it; without one the glyphs may run over anything.
  virtual void DrawTextIn(int x, int y, const std::string& text, const TFont& font, const TRect* clip) = 0;
  // The dotted focus rectangle that inverts what lies under its edge.
  virtual void DrawFocusRect(const TRect& rect) = 0;
  // A straight line `width` pixels wide, centred on the line from `from`
  // to `to`, with flat ends: the last point is not drawn.
  virtual void DrawLine(TPoint from, TPoint to, TColor color, int width, TPenStyle style) = 0;
  // The ellipse that fits in `rect`, filled.
  virtual void FillEllipse(const TRect& rect, TColor color) = 0;
  // The line box `text` takes in `font`, as DrawTextIn draws it.
  virtual TSize TextExtent(const std::string& text, const TFont& font) = 0;
};

}  // namespace kit
