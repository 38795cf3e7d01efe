// What a backend draws with while a control paints: the system's painter
// (a QPainter, a device context) behind four operations. Coordinates are
// the control's client layout pixels; colours may be system colours.
#pragma once

#include <string>

#include "app/kit/colors.h"
#include "app/kit/font.h"
#include "app/kit/geometry.h"

namespace kit {

class PaintDevice {
 public:
  virtual ~PaintDevice() = default;

  virtual void fillRect(const TRect& rect, TColor color) = 0;
  // Only the glyphs of `text`, in the font and its colour, with the top-left
  // corner of the text's line box at (x, y). With a clip rectangle nothing
  // is drawn outside it; without one the glyphs may run over anything.
  virtual void drawText(int x, int y, const std::string& text, const TFont& font, const TRect* clip) = 0;
  // The dotted focus rectangle that inverts what lies under its edge.
  virtual void drawFocusRect(const TRect& rect) = 0;
};

}  // namespace kit
