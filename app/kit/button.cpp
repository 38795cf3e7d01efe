#include "app/kit/button.h"

#include "app/kit/font_height.h"
#include "app/kit/handler_guard.h"

TButton::TButton(QWidget* parent) : QPushButton(parent) {
  // Neither button is a default button: Enter in the grid must not click one.
  setAutoDefault(false);
  setDefault(false);
  connect(this, &QPushButton::clicked, this, [this] {
    if (OnClick) app::RunHandler([this] { OnClick(this); });
  });
}

void TButton::setFontHeight(int pixels) { SetFontPixelHeight(*this, pixels); }
