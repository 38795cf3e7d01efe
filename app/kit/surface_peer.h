// The seam for a control that the kit paints itself (the string grid): a
// framed area with scroll bars as needed, which hands its painting and its
// input to the control and shows a context menu for it.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/kit/control_peer.h"
#include "app/kit/keys.h"
#include "app/kit/paint_device.h"

namespace kit {

enum class ScrollBar { Horizontal, Vertical };

struct MenuItem {
  std::string text;      // "Копировать"
  std::string shortcut;  // shown beside it, as the system writes it: "Ctrl+C"
  std::function<void()> action;
};

class SurfaceEvents {
 public:
  virtual ~SurfaceEvents() = default;
  // Paints the client area, or the part of it in `dirty`.
  virtual void paint(PaintDevice& device, const TRect& dirty) = 0;
  // Client coordinates.
  virtual void mouseDown(TMouseButton button, TShiftState shift, TPoint at) = 0;
  virtual void mouseMove(TShiftState shift, TPoint at) = 0;
  virtual void mouseUp(TMouseButton button, TShiftState shift, TPoint at) = 0;
  // A key pressed while the control has the focus; true when it used it.
  virtual bool keyDown(int key, TShiftState shift) = 0;
  // The user asked for the context menu at a client point.
  virtual void contextMenu(TPoint at) = 0;
  virtual void focusChanged(bool focused) = 0;
  // The client area changed size.
  virtual void resized() = 0;
  // The user moved a scroll bar to `position`.
  virtual void scrolled(ScrollBar bar, int position) = 0;
};

// A click in the surface gives it the keyboard focus before the control
// hears of the click, as the system does for controls that take the focus.
class SurfacePeer : public ControlPeer {
 public:
  // The client area: inside the frame, less the scroll bars shown.
  virtual TSize clientSize() const = 0;
  // The client area there would be with no scroll bar shown.
  virtual TSize clientSizeWithoutBars() const = 0;
  // How much room a scroll bar takes across.
  virtual int scrollBarExtent() const = 0;
  // Shows the bar for positions 0 to maximum with the thumb at `position`;
  // a maximum of 0 hides it.
  virtual void setScrollBar(ScrollBar bar, int maximum, int page, int position) = 0;
  // The bar's maximum as the system has it; 0 while it is hidden.
  virtual int scrollBarMaximum(ScrollBar bar) const = 0;
  // Shows the menu at a client point and returns when it has closed; a
  // chosen item's action has run by then.
  virtual void popupMenu(TPoint at, const std::vector<MenuItem>& items) = 0;
  // The client area as painted now, in device pixels.
  virtual Image grabClient() const = 0;
};

std::unique_ptr<SurfacePeer> CreateSurfacePeer(FormPeer& parent, SurfaceEvents& events);

}  // namespace kit
