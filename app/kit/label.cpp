#include "app/kit/label.h"

#include <QEvent>

#include "app/kit/font_height.h"

TLabel::TLabel(QWidget* parent) : QLabel(parent) {
  setAutoFillBackground(false);
  setTextFormat(Qt::PlainText);
  setWordWrap(false);
}

void TLabel::setText(const QString& text) {
  QLabel::setText(text);
  adjustSize();
}

QColor TLabel::fontColor() const { return palette().color(QPalette::WindowText); }

void TLabel::setFontColor(const QColor& color) {
  QPalette p = palette();
  p.setColor(QPalette::WindowText, color);
  setPalette(p);
}

void TLabel::setFontColor(TColor color) { setFontColor(ToQColor(color)); }

void TLabel::setFontHeight(int pixels) { SetFontPixelHeight(*this, pixels); }

void TLabel::changeEvent(QEvent* event) {
  QLabel::changeEvent(event);
  if (event->type() == QEvent::FontChange) adjustSize();
}
