#include "app/kit/button.h"

#include "app/kit/form.h"
#include "app/kit/handler_guard.h"

TButton::TButton(TForm* parent) : TControl(parent, kit::CreateButtonPeer(parent->FormPeer())) {
  ButtonPeer().SetEvents(this);
}

TButton::~TButton() { ButtonPeer().SetEvents(nullptr); }

void TButton::Click() { ButtonPeer().Click(); }

bool TButton::IsDefault() const { return ButtonPeer().IsDefault(); }

void TButton::Clicked() {
  if (!OnClick) return;
  kit::RunHandler([this] { OnClick(this); });
  // The window answered nothing while the handler ran: what the user
  // clicked or typed meanwhile is dropped, not replayed.
  kit::DropQueuedInput();
}
