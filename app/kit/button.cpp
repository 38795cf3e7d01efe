#include "app/kit/button.h"

#include "app/kit/font_height.h"
#include "app/kit/handler_guard.h"
#include "app/kit/queued_input.h"

TButton::TButton(QWidget* parent) : QPushButton(parent) {
  // Neither button is a default button: Enter in the grid must not click one.
  setAutoDefault(false);
  setDefault(false);
  connect(this, &QPushButton::clicked, this, [this] {
    if (!OnClick) return;
    app::RunHandler([this] { OnClick(this); });
    // The window answered nothing while the handler ran: what the user
    // clicked or typed meanwhile is dropped, not replayed.
    app::DropQueuedInput();
  });
}

void TButton::setFontHeight(int pixels) { SetFontPixelHeight(*this, pixels); }
