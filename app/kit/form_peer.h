// The seam for the top-level window.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/kit/control_peer.h"

namespace kit {

class FormEvents {
 public:
  virtual ~FormEvents() = default;
  // The user (or the program) asks to close the window; true lets it close.
  virtual bool closeQuery() = 0;
};

// Where the stored layout puts the window. The outer size is the frame's;
// the client size is what the frame holds on the desktop the layout was
// made on. A backend whose system lets it set the outer size sets that
// (Win32); one whose frame belongs to the window manager sets the client
// size (Qt).
struct WindowPlacement {
  TPoint framePosition;  // top-left corner of the outer frame, on the screen
  TSize outerSize;
  TSize clientSize;
};

class FormPeer : public ControlPeer {
 public:
  virtual void setPlacement(const WindowPlacement& placement) = 0;
  // The outer frame on the screen, as far as the system tells it.
  virtual TRect frameRect() const = 0;
  virtual TSize clientSize() const = 0;

  virtual void show() = 0;
  // Closes the window as the user's close does, asking FormEvents first;
  // true when it closed.
  virtual bool close() = 0;

  // The child whose window is on top at a client point, or nullptr.
  virtual ControlPeer* childAt(TPoint at) const = 0;
  // Makes Tab visit the tab-stop children in this order.
  virtual void setTabOrder(const std::vector<ControlPeer*>& order) = 0;
  // The children Tab reaches from `from`, in order, ending with `from` itself
  // when the cycle comes back to it.
  virtual std::vector<ControlPeer*> tabCycle(ControlPeer* from) const = 0;

  // The window's icon drawn at size x size pixels, with its transparency.
  virtual Image icon(int size) const = 0;
  // The text the desktop's task bar shows for the program's window.
  virtual std::string taskBarText() const = 0;
};

// A window of its own, or, with an owner, a window that belongs to another:
// it stays above its owner and goes with it, has no task-bar button of its
// own, and its frame has a caption with a close button only, at the fixed
// size its placement gives.
std::unique_ptr<FormPeer> CreateFormPeer(FormEvents& events, FormPeer* owner = nullptr);

}  // namespace kit
