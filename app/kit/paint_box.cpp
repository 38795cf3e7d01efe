#include "app/kit/paint_box.h"

#include "app/kit/form.h"

TPaintBox::TPaintBox(TForm* parent)
    : TControl(parent, kit::CreateSurfacePeer(parent->formPeer(), kit::SurfaceKind::Plain)) {
  surface().setEvents(this);
  setTabStop(false);
}

TPaintBox::~TPaintBox() { surface().setEvents(nullptr); }

void TPaintBox::paint(kit::PaintDevice& device, const TRect& dirty) {
  device.fillRect(dirty, clWindow);
  if (!OnPaint) return;
  // Each paint starts from the control's font and the default pen and brush.
  canvas_.font = font();
  canvas_.brush = TBrush();
  canvas_.pen = TPen();
  canvas_.setDevice(&device);
  OnPaint(this);
  canvas_.setDevice(nullptr);
}
