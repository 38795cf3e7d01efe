// The status line: a framed static text of fixed size with centred text.
// Unlike a label it keeps its size whatever its text, paints its own
// background (it lies above the grid's last row) and never takes focus.
#pragma once

#include <QLabel>

class TStaticText : public QLabel {
  Q_OBJECT

 public:
  explicit TStaticText(QWidget* parent = nullptr);

  // Character height in pixels (stored layout).
  void setFontHeight(int pixels);
};
