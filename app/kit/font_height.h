// The layout gives font sizes as character heights in pixels, not points, so
// the window looks the same whatever the screen's dots per inch.
#pragma once

#include <QFont>
#include <QWidget>

inline void SetFontPixelHeight(QWidget& widget, int pixels) {
  QFont font = widget.font();
  font.setPixelSize(pixels);
  widget.setFont(font);
}
