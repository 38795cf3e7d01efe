// Labels and the status line on the system's "Static" control. Their
// colours come from the form (WM_CTLCOLORSTATIC): the font colour on the
// window's background.
#include "app/kit/windows/child_window.h"
#include "app/kit/windows/form_window.h"

namespace kit {

std::unique_ptr<ControlPeer> CreateLabelPeer(FormPeer& parent) {
  // One line, as wide as its text; "&" shows as it is; SS_NOTIFY lets the
  // tooltip see the mouse.
  return std::make_unique<win::ChildPeer<ControlPeer>>(static_cast<win::FormWindow&>(parent), L"Static",
                                                       SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY);
}

std::unique_ptr<ControlPeer> CreateStaticTextPeer(FormPeer& parent) {
  // Sunken, text centred both ways, a fixed size whatever the text.
  return std::make_unique<win::ChildPeer<ControlPeer>>(
      static_cast<win::FormWindow&>(parent), L"Static",
      SS_CENTER | SS_CENTERIMAGE | SS_SUNKEN | SS_NOPREFIX | SS_NOTIFY);
}

}  // namespace kit
