// A text label that sizes itself to its text, like the labels of the main
// window: whenever its text or font changes it takes the size of its text,
// keeping its top-left corner. Its colour is its font colour; it paints no
// background of its own, so it shows the window's.
#pragma once

#include <QLabel>

#include "app/kit/colors.h"

class TLabel : public QLabel {
  Q_OBJECT

 public:
  explicit TLabel(QWidget* parent = nullptr);

  // Hides QLabel::setText so that every caption change goes through the
  // auto-size; call it through a TLabel pointer.
  void setText(const QString& text);

  QColor fontColor() const;
  void setFontColor(const QColor& color);
  void setFontColor(TColor color);

  // Character height in pixels (stored layout).
  void setFontHeight(int pixels);

 protected:
  void changeEvent(QEvent* event) override;
};
