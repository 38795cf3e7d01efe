// A push button whose click runs its OnClick handler. A handler that throws
// does not escape into the event loop: its message goes to the standard
// error box and the window works on. Input queued while the handler held
// the window is dropped when it returns. No button is a default button.
#pragma once

#include <functional>

#include "app/kit/button_peer.h"
#include "app/kit/control.h"

// The events base comes first: it exists before the peer that calls it.
class TButton : private kit::ButtonEvents, public TControl {
 public:
  explicit TButton(TForm* parent);

  // Clicks the button through the system, as the user's click arrives.
  void click();
  bool isDefault() const;

  // Sender is the button.
  std::function<void(TObject* Sender)> OnClick;

 private:
  void clicked() override;
};
