#include "app/kit/control.h"

#include "app/kit/form.h"

TControl::TControl(TForm* parent, std::unique_ptr<kit::ControlPeer> peer)
    : TComponent(parent), parent_(parent), peer_(std::move(peer)) {
  // A control takes its window's font until it is given one of its own.
  if (parent_ != nullptr) setFont(parent_->font());
}

TControl::TControl(TComponent* owner, std::unique_ptr<kit::ControlPeer> peer)
    : TComponent(owner), peer_(std::move(peer)) {
  peer_->setFont(font_);
}

TControl::~TControl() {
  // The controls a window holds go before the window itself.
  MarkDestroying();
  DestroyComponents();
  peer_.reset();
}

void TControl::setBounds(int left, int top, int width, int height) {
  peer_->setBounds(Bounds(left, top, width, height));
}

void TControl::setText(const std::string& text) { peer_->setText(text); }

void TControl::setFont(const TFont& font) {
  font_ = font;
  peer_->setFont(font_);
  fontChanged();
}

void TControl::setFontColor(TColor color) {
  TFont font = font_;
  font.setColor(color);
  setFont(font);
}

void TControl::setFontHeight(int pixels) {
  TFont font = font_;
  font.setHeight(pixels);
  setFont(font);
}
