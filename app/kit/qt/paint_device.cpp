#include "app/kit/qt/paint_device.h"

#include "app/kit/qt/native.h"

namespace kit::qt {

void NativePaintDevice::FillRect(const TRect& rect, TColor color) {
  painter_.fillRect(ToQRect(rect), ToQColor(color, palette_));
}

void NativePaintDevice::DrawTextIn(int x, int y, const std::string& text, const TFont& font, const TRect* clip) {
  if (clip != nullptr) {
    painter_.save();
    painter_.setClipRect(ToQRect(*clip), Qt::IntersectClip);
  }
  // What the font leaves open comes from the widget's own font.
  painter_.setFont(ToQFont(font));
  // Only the glyphs are drawn: a font whose line box is taller than the
  // cell must not paint over the grid line below it.
  painter_.setPen(ToQColor(font.Color(), palette_));
  painter_.drawText(QPoint(x, y + painter_.fontMetrics().ascent()), ToQString(text));
  if (clip != nullptr) painter_.restore();
}

void NativePaintDevice::DrawFocusRect(const TRect& rect) {
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

namespace kit::qt {

void NativePaintDevice::DrawLine(TPoint from, TPoint to, TColor color, int width, TPenStyle style) {
  painter_.save();
  QPen pen(ToQColor(color, palette_), width, style == TPenStyle::psDash ? Qt::DashLine : Qt::SolidLine, Qt::FlatCap);
  painter_.setPen(pen);
  // A pixel's centre is half a pixel in from its corner: a line through
  // the centres covers the pixels it names, as a device context's does.
  painter_.drawLine(QPointF(from.X + 0.5, from.Y + 0.5), QPointF(to.X + 0.5, to.Y + 0.5));
  painter_.restore();
}

void NativePaintDevice::FillEllipse(const TRect& rect, TColor color) {
  painter_.save();
  painter_.setPen(Qt::NoPen);
  painter_.setBrush(ToQColor(color, palette_));
  painter_.drawEllipse(ToQRect(rect));
  painter_.restore();
}

TSize NativePaintDevice::TextExtent(const std::string& text, const TFont& font) {
  // Measured for the device painted on: a printer's or a PDF's resolution
  // is not the screen's.
  const QFontMetrics metrics(ToQFont(font), painter_.device());
  return {metrics.horizontalAdvance(ToQString(text)), metrics.height()};
}

}  // namespace kit::qt
