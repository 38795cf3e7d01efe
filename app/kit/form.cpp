#include "app/kit/form.h"

#include "app/kit/handler_guard.h"

namespace {

kit::FormPeer* OwnerWindow(TComponent* owner) {
  auto* form = dynamic_cast<TForm*>(owner);
  return form != nullptr ? &form->formPeer() : nullptr;
}

}  // namespace

TForm::TForm(TComponent* owner) : TControl(owner, kit::CreateFormPeer(OwnerWindow(owner))) {
  formPeer().setEvents(this);
}

// The window's controls go while the window is still whole (~TControl).
TForm::~TForm() { formPeer().setEvents(nullptr); }

kit::FormPeer& TForm::formPeer() const { return static_cast<kit::FormPeer&>(peer()); }

void TForm::setPlacement(const kit::WindowPlacement& placement) { formPeer().setPlacement(placement); }

TControl* TForm::controlOf(const kit::ControlPeer* peer) const {
  if (peer == nullptr) return nullptr;
  for (int i = 0; i < ComponentCount(); ++i)
    if (auto* control = dynamic_cast<TControl*>(Components(i)); control != nullptr && &control->peer() == peer)
      return control;
  return nullptr;
}

TControl* TForm::controlAt(TPoint at) const { return controlOf(formPeer().childAt(at)); }

void TForm::setTabOrder(const std::vector<TControl*>& order) {
  std::vector<kit::ControlPeer*> peers;
  for (TControl* control : order) peers.push_back(&control->peer());
  formPeer().setTabOrder(peers);
}

std::vector<TControl*> TForm::tabCycle(TControl* from) const {
  std::vector<TControl*> cycle;
  for (kit::ControlPeer* peer : formPeer().tabCycle(&from->peer())) cycle.push_back(controlOf(peer));
  return cycle;
}

void TForm::DoCreate() {
  if (OnCreate) kit::RunHandler([this] { OnCreate(this); });
}

bool TForm::closeQuery() {
  bool canClose = true;
  // A close query that fails keeps the window open, as a refusal would.
  if (OnCloseQuery && !kit::RunHandler([&] { OnCloseQuery(this, canClose); })) canClose = false;
  return canClose;
}
