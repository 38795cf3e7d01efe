// The push button's seam to the system.
#pragma once

#include <memory>

#include "app/kit/control_peer.h"

namespace kit {

class ButtonEvents {
 public:
  virtual ~ButtonEvents() = default;
  // The user clicked the button (or the system was told to click it).
  virtual void clicked() = 0;
};

class ButtonPeer : public ControlPeer {
 public:
  // Clicks the button through the system, as the user's click arrives.
  virtual void click() = 0;
  // True when Enter in the window would click it.
  virtual bool isDefault() const = 0;
};

std::unique_ptr<ButtonPeer> CreateButtonPeer(FormPeer& parent, ButtonEvents& events);

}  // namespace kit
