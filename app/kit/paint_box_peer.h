// The seam for a control whose whole area the kit paints (a paint box): no
// frame, no input, no focus; only its painting.
#pragma once

#include <memory>

#include "app/kit/control_peer.h"
#include "app/kit/paint_device.h"

namespace kit {

class PaintBoxEvents {
 public:
  virtual ~PaintBoxEvents() = default;
  // Paints the area, or the part of it in `dirty`; every pixel of it.
  virtual void paint(PaintDevice& device, const TRect& dirty) = 0;
};

std::unique_ptr<ControlPeer> CreatePaintBoxPeer(FormPeer& parent, PaintBoxEvents& events);

}  // namespace kit
