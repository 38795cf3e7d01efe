// A push button whose click runs its OnClick handler. A handler that throws
// does not escape into the event loop: its message goes to the standard
// error box and the window works on. Input queued while the handler held
// the window is dropped when it returns. Enter and Space click the button
// that has the focus; no button is a default button.
#pragma once

#include <functional>

#include "app/kit/control.h"

class TButton : public TControl, private kit::ButtonEvents {
 public:
  explicit TButton(TForm* parent);
  ~TButton() override;

  // Clicks the button through the system, as the user's click arrives.
  void Click();
  bool IsDefault() const;

  // Sender is the button.
  std::function<void(TObject* Sender)> OnClick;

 private:
  kit::ButtonPeer& ButtonPeer() const { return static_cast<kit::ButtonPeer&>(Peer()); }
  void Clicked() override;
};
