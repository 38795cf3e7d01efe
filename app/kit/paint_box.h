// An area of a window that its OnPaint handler draws through the canvas:
// a picture made of rectangles, lines, ellipses and text. Before the
// handler runs the area is filled with the window colour. A surface of the
// plain kind (backend.h): no frame, focus or input.
#pragma once

#include <functional>

#include "app/kit/canvas.h"
#include "app/kit/control.h"

class TPaintBox : public TControl, private kit::SurfaceEvents {
 public:
  explicit TPaintBox(TForm* parent);
  ~TPaintBox() override;

  // The canvas of the paint in progress, for the OnPaint handler.
  TCanvas& Canvas() { return canvas_; }
  // The whole area, from (0, 0).
  TRect ClientRect() const { return Bounds(0, 0, Width(), Height()); }
  // Paints again soon, from the handler.
  void Invalidate() { Peer().Invalidate(); }

  std::function<void(TObject* Sender)> OnPaint;

 private:
  kit::SurfacePeer& Surface() const { return static_cast<kit::SurfacePeer&>(Peer()); }
  // kit::SurfaceEvents: the painting only.
  void Paint(kit::PaintDevice& device, const TRect& dirty) override;

  TCanvas canvas_;
};
