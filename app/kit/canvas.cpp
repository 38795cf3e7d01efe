#include "app/kit/canvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <cmath>

namespace {

constexpr int kDotsPerInch = 96;
constexpr int kPointsPerInch = 72;

}  // namespace

void TFont::assign(const QFont& font, const QColor& color) {
  font_ = font;
  color_ = color;
}

int TFont::size() const {
  return static_cast<int>(std::lround(double(font_.pixelSize()) * kPointsPerInch / kDotsPerInch));
}

void TFont::setSize(int points) {
  // Rounded down, as a font height computed from points always was: 13 pt -> 17 px.
  font_.setPixelSize(points * kDotsPerInch / kPointsPerInch);
}

TFontStyles TFont::style() const {
  TFontStyles style = 0;
  if (font_.bold()) style |= fsBold;
  if (font_.italic()) style |= fsItalic;
  if (font_.underline()) style |= fsUnderline;
  if (font_.strikeOut()) style |= fsStrikeOut;
  return style;
}

void TFont::setStyle(TFontStyles style) {
  font_.setBold((style & fsBold) != 0);
  font_.setItalic((style & fsItalic) != 0);
  font_.setUnderline((style & fsUnderline) != 0);
  font_.setStrikeOut((style & fsStrikeOut) != 0);
}

void TCanvas::fillRect(const QRect& rect) {
  if (painter_ != nullptr) painter_->fillRect(rect, brush.color());
}

void TCanvas::textOut(int x, int y, const QString& text) {
  if (painter_ == nullptr || text.isEmpty()) return;
  painter_->setFont(font.qfont());
  // Only the glyphs are drawn: a font whose line box is taller than the
  // cell must not paint over the grid line below it.
  painter_->setPen(font.color());
  painter_->drawText(QPoint(x, y + painter_->fontMetrics().ascent()), text);
}

void TCanvas::textRect(const QRect& rect, int x, int y, const QString& text) {
  if (painter_ == nullptr) return;
  fillRect(rect);
  painter_->save();
  painter_->setClipRect(rect, Qt::IntersectClip);
  textOut(x, y, text);
  painter_->restore();
}
