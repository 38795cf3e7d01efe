// Labels and the status line on the system's "Static" control. Their
// colours come from the form (WM_CTLCOLORSTATIC): the font colour on the
// window's background.
#include "app/kit/windows/control_peer.h"
#include "app/kit/windows/form_peer.h"

namespace kit {

std::unique_ptr<ControlPeer> CreateLabelPeer(FormPeer& parent) {
  // One line, as wide as its text; "&" shows as it is; SS_NOTIFY lets the
  // tooltip see the mouse.
  return std::make_unique<win::ChildPeer<ControlPeer>>(static_cast<win::FormWindow&>(parent), L"Static",
                                                       SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY);
}

namespace {

// The status line: sunken, a fixed size whatever the text, the text centred
// both ways. It draws the text itself, centred on its measured extent: the
// system's own centring of a static text may sit a few pixels off.
class StatusLine final : public win::ChildPeer<ControlPeer> {
 public:
  explicit StatusLine(win::FormWindow& form)
      : ChildPeer(form, L"Static", SS_OWNERDRAW | SS_SUNKEN | SS_NOTIFY) {}

  void drawItem(const DRAWITEMSTRUCT& item) override {
    HDC dc = item.hDC;
    ::FillRect(dc, &item.rcItem, ::GetSysColorBrush(COLOR_BTNFACE));
    const std::wstring text = win::Wide(this->text());
    if (text.empty()) return;
    const HGDIOBJ old = ::SelectObject(dc, gdiFont());
    const SIZE extent = win::TextExtent(gdiFont(), text);
    const RECT& r = item.rcItem;
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(font().color())));
    ::SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    win::DrawLine(dc, r.left + (r.right - r.left - extent.cx) / 2, r.top + (r.bottom - r.top - extent.cy) / 2, text,
                  &r);
    ::SelectObject(dc, old);
  }
};

}  // namespace

std::unique_ptr<ControlPeer> CreateStaticTextPeer(FormPeer& parent) {
  return std::make_unique<StatusLine>(static_cast<win::FormWindow&>(parent));
}

}  // namespace kit
