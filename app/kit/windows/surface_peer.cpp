// The areas the kit paints itself, on window classes of our own. Both paint
// through the GDI paint device into a memory bitmap first (no flicker). The
// grid's (framed, "TStringGrid") has a sunken 2-pixel edge and scroll bars
// only as needed, hands keys, mouse, focus and scrolling to the grid, and
// shows the grid's context menu with TrackPopupMenu; a paint box's (plain,
// "TPaintBox") has no edge and no tab stop, and hands on its painting only.
#include <algorithm>
#include <optional>

#include "app/kit/backend.h"
#include "app/kit/windows/control_peer.h"
#include "app/kit/windows/form_peer.h"
#include "app/kit/windows/paint_device.h"
#include "app/kit/windows/window_image.h"

#include <windowsx.h>

namespace kit::win {
namespace {

constexpr wchar_t kFramedClass[] = L"TStringGrid";
constexpr wchar_t kPlainClass[] = L"TPaintBox";

TShiftState ShiftState(WPARAM mouseKeys) {
  TShiftState shift = 0;
  if (mouseKeys & MK_SHIFT) shift |= ssShift;
  if (mouseKeys & MK_CONTROL) shift |= ssCtrl;
  if (mouseKeys & MK_LBUTTON) shift |= ssLeft;
  if (mouseKeys & MK_RBUTTON) shift |= ssRight;
  if (::GetKeyState(VK_MENU) < 0) shift |= ssAlt;
  return shift;
}

TShiftState KeyboardShiftState() {
  TShiftState shift = 0;
  if (::GetKeyState(VK_SHIFT) < 0) shift |= ssShift;
  if (::GetKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
  if (::GetKeyState(VK_MENU) < 0) shift |= ssAlt;
  return shift;
}

int BarOf(ScrollBar bar) { return bar == ScrollBar::Horizontal ? SB_HORZ : SB_VERT; }

class NativeSurface final : public NativeControl<SurfacePeer> {
 public:
  // Both bars start hidden (no WS_HSCROLL, WS_VSCROLL); the grid asks for
  // those it needs.
  NativeSurface(NativeForm& form, SurfaceKind kind)
      : NativeControl(form, RegisteredClass(kind), kind == SurfaceKind::Framed ? WS_TABSTOP : 0,
                      kind == SurfaceKind::Framed ? WS_EX_CLIENTEDGE : 0),
        framed_(kind == SurfaceKind::Framed) {}

  void SetEvents(SurfaceEvents* events) override { events_ = events; }

  TSize ClientSize() const override {
    RECT client;
    ::GetClientRect(Hwnd(), &client);
    return {ToLayout(client.right, Dpi()), ToLayout(client.bottom, Dpi())};
  }

  TSize ClientSizeWithoutBars() const override {
    RECT client;
    ::GetClientRect(Hwnd(), &client);
    const LONG style = ::GetWindowLongW(Hwnd(), GWL_STYLE);
    if (style & WS_VSCROLL) client.right += SystemMetricForDpi(SM_CXVSCROLL, Dpi());
    if (style & WS_HSCROLL) client.bottom += SystemMetricForDpi(SM_CYHSCROLL, Dpi());
    return {ToLayout(client.right, Dpi()), ToLayout(client.bottom, Dpi())};
  }

  int ScrollBarExtent() const override { return LayoutCeil(SystemMetricForDpi(SM_CXVSCROLL, Dpi()), Dpi()); }

  void SetScrollBar(ScrollBar bar, int maximum, int page, int position) override {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    // The thumb reaches `maximum` when the range ends one page beyond it;
    // an empty range hides the bar.
    info.nMax = maximum > 0 ? maximum + std::max(page, 1) - 1 : 0;
    info.nPage = maximum > 0 ? static_cast<UINT>(std::max(page, 1)) : 0;
    info.nPos = maximum > 0 ? std::clamp(position, 0, maximum) : 0;
    // Showing or hiding a bar resizes the client area; the grid has reckoned
    // with that already and must not hear of it in the middle of its sums.
    quiet_ = true;
    ::SetScrollInfo(Hwnd(), BarOf(bar), &info, TRUE);
    ::ShowScrollBar(Hwnd(), BarOf(bar), maximum > 0);
    quiet_ = false;
  }

  int ScrollBarMaximum(ScrollBar bar) const override {
    const LONG style = ::GetWindowLongW(Hwnd(), GWL_STYLE);
    if (!(style & (bar == ScrollBar::Horizontal ? WS_HSCROLL : WS_VSCROLL))) return 0;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE;
    if (!::GetScrollInfo(Hwnd(), BarOf(bar), &info)) return 0;
    return std::max(0, info.nMax - std::max<int>(info.nPage, 1) + 1);
  }

  void PopupMenu(TPoint at, const std::vector<MenuItem>& items) override {
    HMENU menu = ::CreatePopupMenu();
    for (std::size_t i = 0; i < items.size(); ++i) {
      std::string label = items[i].text;
      if (!items[i].shortcut.empty()) label += "\t" + items[i].shortcut;
      ::AppendMenuW(menu, MF_STRING, i + 1, Wide(label).c_str());
    }
    POINT screen{ToDevice(at.X, Dpi()), ToDevice(at.Y, Dpi())};
    ::ClientToScreen(Hwnd(), &screen);
    const UINT chosen = static_cast<UINT>(
        ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, screen.x,
                         screen.y, 0, Hwnd(), nullptr));
    ::DestroyMenu(menu);
    if (chosen >= 1 && chosen <= items.size() && items[chosen - 1].action) items[chosen - 1].action();
  }

  Image GrabClient() const override {
    RECT client;
    ::GetClientRect(Hwnd(), &client);
    MemoryBitmap bitmap(client.right, client.bottom);
    PaintInto(bitmap.Dc(), client);
    return bitmap.Pixels();
  }

  void DpiChanged() override {
    NativeChild::DpiChanged();
    Invalidate();
  }

 private:
  static const wchar_t* RegisteredClass(SurfaceKind kind) {
    static const wchar_t* const framed = RegisterChildClass(kFramedClass, CS_DBLCLKS);
    static const wchar_t* const plain = RegisterChildClass(kPlainClass, 0);
    return kind == SurfaceKind::Framed ? framed : plain;
  }

  // Paints the part `dirty` (device pixels) of the client area into `dc`.
  void PaintInto(HDC dc, const RECT& dirty) const {
    if (events_ == nullptr) return;
    NativePaintDevice device(dc, Dpi());
    events_->Paint(device, LayoutCover(dirty, Dpi()));
  }

  TPoint LayoutPoint(LPARAM lParam) const {
    const POINTS p = MAKEPOINTS(lParam);
    return {LayoutPixelOf(p.x, Dpi()), LayoutPixelOf(p.y, Dpi())};
  }

  void Scroll(ScrollBar bar, int code) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    ::GetScrollInfo(Hwnd(), BarOf(bar), &info);
    const int maximum = ScrollBarMaximum(bar);
    const int page = std::max<int>(info.nPage, 1);
    int position = info.nPos;
    switch (code) {
      case SB_LINEUP: position -= 1; break;
      case SB_LINEDOWN: position += 1; break;
      case SB_PAGEUP: position -= page; break;
      case SB_PAGEDOWN: position += page; break;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION: position = info.nTrackPos; break;
      case SB_TOP: position = 0; break;
      case SB_BOTTOM: position = maximum; break;
      default: return;
    }
    events_->Scrolled(bar, std::clamp(position, 0, maximum));
  }

  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (events_ == nullptr) return NativeChild::Handle(message, wParam, lParam);
    if (const std::optional<LRESULT> answer =
            AnswerOwnPainting(Hwnd(), message, wParam, [this](HDC dc, const RECT& dirty) { PaintInto(dc, dirty); }))
      return *answer;
    if (!framed_) return NativeChild::Handle(message, wParam, lParam);
    switch (message) {
      case WM_GETDLGCODE:
        // Arrow keys move the selection instead of the dialog focus.
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
      case WM_RBUTTONDOWN:
      case WM_RBUTTONDBLCLK: {
        if (::GetFocus() != Hwnd()) ::SetFocus(Hwnd());
        const bool left = message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK;
        if (left) ::SetCapture(Hwnd());
        events_->MouseDown(left ? TMouseButton::mbLeft : TMouseButton::mbRight, ShiftState(wParam),
                           LayoutPoint(lParam));
        return 0;
      }
      case WM_MOUSEMOVE: events_->MouseMove(ShiftState(wParam), LayoutPoint(lParam)); return 0;
      case WM_LBUTTONUP:
        if (::GetCapture() == Hwnd()) ::ReleaseCapture();
        events_->MouseUp(TMouseButton::mbLeft, ShiftState(wParam), LayoutPoint(lParam));
        return 0;
      case WM_RBUTTONUP:
        events_->MouseUp(TMouseButton::mbRight, ShiftState(wParam), LayoutPoint(lParam));
        break;  // the system turns it into WM_CONTEXTMENU
      case WM_CONTEXTMENU: {
        POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (at.x == -1 && at.y == -1) {
          // From the keyboard: at the client area's corner.
          at = {0, 0};
        } else {
          ::ScreenToClient(Hwnd(), &at);
        }
        events_->ContextMenu({LayoutPixelOf(at.x, Dpi()), LayoutPixelOf(at.y, Dpi())});
        return 0;
      }
      case WM_KEYDOWN:
        if (events_->KeyDown(static_cast<int>(wParam), KeyboardShiftState())) return 0;
        break;
      case WM_SETFOCUS: events_->FocusChanged(true); return 0;
      case WM_KILLFOCUS: events_->FocusChanged(false); return 0;
      case WM_SIZE:
        if (!quiet_) events_->Resized();
        return 0;
      case WM_HSCROLL: Scroll(ScrollBar::Horizontal, LOWORD(wParam)); return 0;
      case WM_VSCROLL: Scroll(ScrollBar::Vertical, LOWORD(wParam)); return 0;
      case WM_MOUSEWHEEL: {
        if (ScrollBarMaximum(ScrollBar::Vertical) == 0) break;
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_POS;
        ::GetScrollInfo(Hwnd(), SB_VERT, &info);
        const int rows = -GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * 3;
        events_->Scrolled(ScrollBar::Vertical, std::clamp(info.nPos + rows, 0, ScrollBarMaximum(ScrollBar::Vertical)));
        return 0;
      }
    }
    return NativeChild::Handle(message, wParam, lParam);
  }

  const bool framed_;
  SurfaceEvents* events_ = nullptr;
  bool quiet_ = false;
};

}  // namespace
}  // namespace kit::win

std::unique_ptr<kit::SurfacePeer> kit::CreateSurfacePeer(FormPeer& parent, SurfaceKind kind) {
  return std::make_unique<win::NativeSurface>(win::FormWindowOf(parent), kind);
}
