// Push buttons on the system's "Button" control. None is a default button:
// Enter does not click them, Space and a click do.
#include "app/kit/button_peer.h"
#include "app/kit/windows/control_peer.h"
#include "app/kit/windows/form_peer.h"

namespace kit::win {
namespace {

class ButtonWindow final : public ChildPeer<ButtonPeer> {
 public:
  ButtonWindow(FormWindow& form, ButtonEvents& events)
      : ChildPeer(form, L"Button", WS_TABSTOP | BS_PUSHBUTTON), events_(events) {
    setReady();
  }

  void click() override { ::SendMessageW(hwnd(), BM_CLICK, 0, 0); }

  bool isDefault() const override {
    return (::GetWindowLongW(hwnd(), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
  }

  void command(int code) override {
    if (code == BN_CLICKED && ready()) events_.clicked();
  }

 private:
  ButtonEvents& events_;
};

}  // namespace
}  // namespace kit::win

std::unique_ptr<kit::ButtonPeer> kit::CreateButtonPeer(FormPeer& parent, ButtonEvents& events) {
  return std::make_unique<win::ButtonWindow>(static_cast<win::FormWindow&>(parent), events);
}
