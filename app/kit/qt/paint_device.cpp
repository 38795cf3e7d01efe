#include "app/kit/qt/paint_device.h"

#include "app/kit/qt/qt_conversions.h"

namespace kit::qt {

void QtPaintDevice::fillRect(const TRect& rect, TColor color) { painter_.fillRect(ToQRect(rect), ToQColor(color, palette_)); }

void QtPaintDevice::drawText(int x, int y, const std::string& text, const TFont& font, const TRect* clip) {
  if (clip != nullptr) {
    painter_.save();
    painter_.setClipRect(ToQRect(*clip), Qt::IntersectClip);
  }
  // What the font leaves open comes from the widget's own font.
  painter_.setFont(ToQFont(font));
  // Only the glyphs are drawn: a font whose line box is taller than the
  // cell must not paint over the grid line below it.
  painter_.setPen(ToQColor(font.color(), palette_));
  painter_.drawText(QPoint(x, y + painter_.fontMetrics().ascent()), ToQString(text));
  if (clip != nullptr) painter_.restore();
}

void QtPaintDevice::drawFocusRect(const TRect& rect) {
  // A dotted rectangle that inverts what lies under it.
  painter_.save();
  painter_.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  QPen pen(Qt::white, 0);
  pen.setDashPattern({1, 1});
  painter_.setPen(pen);
  painter_.setBrush(Qt::NoBrush);
  painter_.drawRect(ToQRect(rect).adjusted(0, 0, -1, -1));
  painter_.restore();
}

}  // namespace kit::qt
