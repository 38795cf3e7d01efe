// Push buttons on the system's "Button" control, none a default button. A
// click and Space click a button as the control has it; Enter on a focused
// button reaches it from the form's dialog keys (EnterPressed), and clicks
// it, as in the system's dialogs, where the focused button is the default.
#include "app/kit/backend.h"
#include "app/kit/windows/control_peer.h"
#include "app/kit/windows/form_peer.h"

namespace kit::win {
namespace {

class NativeButton final : public NativeControl<ButtonPeer> {
 public:
  explicit NativeButton(NativeForm& form) : NativeControl(form, L"Button", WS_TABSTOP | BS_PUSHBUTTON) {}

  void SetEvents(ButtonEvents* events) override { events_ = events; }

  void Click() override { ::SendMessageW(Hwnd(), BM_CLICK, 0, 0); }

  bool IsDefault() const override { return (::GetWindowLongW(Hwnd(), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON; }

  void Command(int code) override {
    if (code == BN_CLICKED && events_ != nullptr) events_->Clicked();
  }

  void EnterPressed() override { Click(); }

 private:
  ButtonEvents* events_ = nullptr;
};

}  // namespace
}  // namespace kit::win

std::unique_ptr<kit::ButtonPeer> kit::CreateButtonPeer(FormPeer& parent) {
  return std::make_unique<win::NativeButton>(win::FormWindowOf(parent));
}
