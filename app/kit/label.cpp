#include "app/kit/label.h"

TLabel::TLabel(TForm* parent) : TControl(parent, kit::CreateLabelPeer(parent->FormPeer())) {}

void TLabel::SetText(const std::string& text) {
  TControl::SetText(text);
  AdjustSize();
}

void TLabel::FontChanged() { AdjustSize(); }

void TLabel::AdjustSize() {
  const TPoint corner = Pos();
  const TSize extent = Peer().TextExtent();
  SetBounds(corner.X, corner.Y, extent.Width, extent.Height);
}
