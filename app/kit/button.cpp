#include "app/kit/button.h"

#include "app/kit/form.h"
#include "app/kit/handler_guard.h"

TButton::TButton(TForm* parent) : TControl(parent, kit::CreateButtonPeer(parent->formPeer())) {
  buttonPeer().setEvents(this);
}

TButton::~TButton() { buttonPeer().setEvents(nullptr); }

void TButton::click() { buttonPeer().click(); }

bool TButton::isDefault() const { return buttonPeer().isDefault(); }

void TButton::clicked() {
  if (!OnClick) return;
  kit::RunHandler([this] { OnClick(this); });
  // The window answered nothing while the handler ran: what the user
  // clicked or typed meanwhile is dropped, not replayed.
  kit::DropQueuedInput();
}
