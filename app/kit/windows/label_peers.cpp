// Labels and the status line (a static text) on the system's "Static"
// control. Their colours come from the form (WM_CTLCOLORSTATIC): the font
// colour on the window's background.
#include "app/kit/backend.h"
#include "app/kit/windows/control_peer.h"
#include "app/kit/windows/form_peer.h"

namespace kit::win {
namespace {

class NativeLabel final : public NativeControl<ControlPeer> {
 public:
  // One line, as wide as its text; "&" shows as it is; SS_NOTIFY lets the
  // tooltip see the mouse.
  explicit NativeLabel(NativeForm& form)
      : NativeControl(form, L"Static", SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY) {}
};

// Sunken, a fixed size whatever the text, the text centred both ways. It
// draws the text itself, centred on its measured extent: the system's own
// centring of a static text may sit a few pixels off.
class NativeStaticText final : public NativeControl<ControlPeer> {
 public:
  explicit NativeStaticText(NativeForm& form) : NativeControl(form, L"Static", SS_OWNERDRAW | SS_SUNKEN | SS_NOTIFY) {}

  void DrawItem(const DRAWITEMSTRUCT& item) override {
    HDC dc = item.hDC;
    ::FillRect(dc, &item.rcItem, ::GetSysColorBrush(COLOR_BTNFACE));
    const std::wstring text = Wide(this->Text());
    if (text.empty()) return;
    const HGDIOBJ old = ::SelectObject(dc, FontHandle());
    const SIZE extent = win::TextExtent(FontHandle(), text);
    const RECT& r = item.rcItem;
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(Font().Color())));
    ::SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    DrawLine(dc, r.left + (r.right - r.left - extent.cx) / 2, r.top + (r.bottom - r.top - extent.cy) / 2, text, &r);
    ::SelectObject(dc, old);
  }
};

}  // namespace
}  // namespace kit::win

std::unique_ptr<kit::ControlPeer> kit::CreateLabelPeer(FormPeer& parent) {
  return std::make_unique<win::NativeLabel>(win::FormWindowOf(parent));
}

std::unique_ptr<kit::ControlPeer> kit::CreateStaticTextPeer(FormPeer& parent) {
  return std::make_unique<win::NativeStaticText>(win::FormWindowOf(parent));
}
