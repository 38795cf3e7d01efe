#include "app/kit/label.h"

TLabel::TLabel(TForm* parent) : TControl(parent, kit::CreateLabelPeer(parent->formPeer())) {}

void TLabel::setText(const std::string& text) {
  TControl::setText(text);
  adjustSize();
}

void TLabel::fontChanged() { adjustSize(); }

void TLabel::adjustSize() {
  const TPoint corner = pos();
  const TSize extent = peer().textExtent();
  setBounds(corner.X, corner.Y, extent.Width, extent.Height);
}
