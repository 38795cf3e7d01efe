#include "app/kit/form.h"

#include "app/kit/handler_guard.h"

namespace {

kit::FormPeer* OwnerWindow(TComponent* owner) {
  auto* form = dynamic_cast<TForm*>(owner);
  return form != nullptr ? &form->FormPeer() : nullptr;
}

}  // namespace

TForm::TForm(TComponent* owner) : TControl(owner, kit::CreateFormPeer(OwnerWindow(owner))) {
  FormPeer().SetEvents(this);
}

// The window's controls go while the window is still whole (~TControl).
TForm::~TForm() { FormPeer().SetEvents(nullptr); }

kit::FormPeer& TForm::FormPeer() const { return static_cast<kit::FormPeer&>(Peer()); }

void TForm::SetPlacement(const kit::WindowPlacement& placement) { FormPeer().SetPlacement(placement); }

TControl* TForm::ControlOf(const kit::ControlPeer* peer) const {
  if (peer == nullptr) return nullptr;
  for (int i = 0; i < ComponentCount(); ++i)
    if (auto* control = dynamic_cast<TControl*>(Components(i)); control != nullptr && &control->Peer() == peer)
      return control;
  return nullptr;
}

TControl* TForm::ControlAt(TPoint at) const { return ControlOf(FormPeer().ChildAt(at)); }

void TForm::SetTabOrder(const std::vector<TControl*>& order) {
  std::vector<kit::ControlPeer*> peers;
  for (TControl* control : order) peers.push_back(&control->Peer());
  FormPeer().SetTabOrder(peers);
}

std::vector<TControl*> TForm::TabCycle(TControl* from) const {
  std::vector<TControl*> cycle;
  for (kit::ControlPeer* peer : FormPeer().TabCycle(&from->Peer())) cycle.push_back(ControlOf(peer));
  return cycle;
}

void TForm::DoCreate() {
  if (OnCreate) kit::RunHandler([this] { OnCreate(this); });
}

bool TForm::CloseQuery() {
  bool canClose = true;
  // A close query that fails keeps the window open, as a refusal would.
  if (OnCloseQuery && !kit::RunHandler([&] { OnCloseQuery(this, canClose); })) canClose = false;
  return canClose;
}
