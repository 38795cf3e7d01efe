// An area of a window that its OnPaint handler draws through the canvas:
// a picture made of rectangles, lines, ellipses and text. Before the
// handler runs the area is filled with the window colour.
#pragma once

#include <functional>

#include "app/kit/canvas.h"
#include "app/kit/control.h"
#include "app/kit/paint_box_peer.h"

// The events base comes first: it exists before the peer that calls it.
class TPaintBox : private kit::PaintBoxEvents, public TControl {
 public:
  explicit TPaintBox(TForm* parent);

  // The canvas of the paint in progress, for the OnPaint handler.
  TCanvas& canvas() { return canvas_; }
  // The whole area, from (0, 0).
  TRect clientRect() const { return Bounds(0, 0, width(), height()); }
  // Paints again soon, from the handler.
  void invalidate() { peer().invalidate(); }

  std::function<void(TObject* Sender)> OnPaint;

 private:
  void paint(kit::PaintDevice& device, const TRect& dirty) override;

  TCanvas canvas_;
};
