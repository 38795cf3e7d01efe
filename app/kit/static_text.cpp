#include "app/kit/static_text.h"

#include "app/kit/font_height.h"

TStaticText::TStaticText(QWidget* parent) : QLabel(parent) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(1);
  setAlignment(Qt::AlignCenter);
  setTextFormat(Qt::PlainText);
  setAutoFillBackground(true);
  setFocusPolicy(Qt::NoFocus);
}

void TStaticText::setFontHeight(int pixels) { SetFontPixelHeight(*this, pixels); }
