#include "app/kit/control.h"

#include "app/kit/form.h"

TControl::TControl(TForm* parent, std::unique_ptr<kit::ControlPeer> peer)
    : TComponent(parent), parent_(parent), peer_(std::move(peer)) {
  // A control takes its window's font until it is given one of its own.
  if (parent_ != nullptr) SetFont(parent_->Font());
}

TControl::TControl(TComponent* owner, std::unique_ptr<kit::ControlPeer> peer)
    : TComponent(owner), peer_(std::move(peer)) {
  peer_->SetFont(font_);
}

TControl::~TControl() {
  // The controls a window holds go before the window itself.
  MarkDestroying();
  DestroyComponents();
  peer_.reset();
}

void TControl::SetBounds(int left, int top, int width, int height) {
  peer_->SetBounds(Bounds(left, top, width, height));
}

void TControl::SetText(const std::string& text) { peer_->SetText(text); }

void TControl::SetFont(const TFont& font) {
  font_ = font;
  peer_->SetFont(font_);
  FontChanged();
}

void TControl::SetFontColor(TColor color) {
  TFont font = font_;
  font.SetColor(color);
  SetFont(font);
}

void TControl::SetFontHeight(int pixels) {
  TFont font = font_;
  font.SetHeight(pixels);
  SetFont(font);
}
