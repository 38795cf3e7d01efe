#include "app/kit/paint_box.h"

#include "app/kit/form.h"

TPaintBox::TPaintBox(TForm* parent)
    : TControl(parent, kit::CreateSurfacePeer(parent->FormPeer(), kit::SurfaceKind::Plain)) {
  Surface().SetEvents(this);
  SetTabStop(false);
}

TPaintBox::~TPaintBox() { Surface().SetEvents(nullptr); }

void TPaintBox::Paint(kit::PaintDevice& device, const TRect& dirty) {
  device.FillRect(dirty, clWindow);
  if (!OnPaint) return;
  // Each paint starts from the control's font and the default pen and brush.
  canvas_.font = Font();
  canvas_.brush = TBrush();
  canvas_.pen = TPen();
  canvas_.SetDevice(&device);
  OnPaint(this);
  canvas_.SetDevice(nullptr);
}
