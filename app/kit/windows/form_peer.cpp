#include "app/kit/windows/form_peer.h"

#include <algorithm>
#include <stdexcept>

#include "app/kit/windows/application_window.h"
#include "app/kit/windows/control_peer.h"
#include "app/kit/windows/fonts.h"
#include "app/kit/windows/window_image.h"

// After windows.h, which it needs.
#include <commctrl.h>

namespace kit::win {
namespace {

constexpr wchar_t kClassName[] = L"TForm";
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
// A form's own window, framed as the system's dialogs are: a popup with a
// caption, the close button and a fixed frame.
constexpr DWORD kOwnedStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;

const wchar_t* RegisteredClass() {
  static const bool registered = [] {
    WNDCLASSEXW windowClass{};
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    // A form at another resolution gets icons of its own; see SetIcons.
    GiveClassProgramIcons(windowClass);
    return OwnWindow::RegisterOwnClass(windowClass);
  }();
  if (!registered) throw std::runtime_error("cannot register the form's window class");
  return kClassName;
}

// The icon, with its transparency, as a picture of size x size.
Image IconImage(HICON icon, int size) {
  MemoryBitmap black(size, size);
  MemoryBitmap white(size, size);
  RECT all{0, 0, size, size};
  ::FillRect(black.Dc(), &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  ::FillRect(white.Dc(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  ::DrawIconEx(black.Dc(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
  ::DrawIconEx(white.Dc(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
  // Drawn on black and on white: the difference is what shows through.
  const Image onBlack = black.Pixels();
  const Image onWhite = white.Pixels();
  Image image(size, size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const TColor b = onBlack.Pixel(x, y);
      const TColor w = onWhite.Pixel(x, y);
      const int alpha = 255 - (RedOf(w) - RedOf(b) + GreenOf(w) - GreenOf(b) + BlueOf(w) - BlueOf(b)) / 3;
      const auto unblend = [alpha](int onBlackValue) {
        return alpha > 0 ? static_cast<std::uint8_t>(std::min(255, onBlackValue * 255 / alpha)) : std::uint8_t{0};
      };
      image.SetPixel(x, y, RGBColor(unblend(RedOf(b)), unblend(GreenOf(b)), unblend(BlueOf(b))),
                     std::clamp(alpha, 0, 255));
    }
  return image;
}

}  // namespace

NativeForm& FormWindowOf(FormPeer& peer) { return static_cast<NativeForm&>(peer); }

NativeForm::NativeForm(NativeForm* owner) {
  MakeWindow(WS_EX_CONTROLPARENT, RegisteredClass(), L"", owner != nullptr ? kOwnedStyle : kStyle, CW_USEDEFAULT,
             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner != nullptr ? owner->Hwnd() : ApplicationWindow());
  if (hwnd_ == nullptr) throw std::runtime_error("cannot create the form's window");
  dpi_ = DpiOfWindow(hwnd_);
  SetIcons();
}

NativeForm::~NativeForm() {
  if (MainForm() == hwnd_) SetMainForm(nullptr);
  if (tooltip_ != nullptr) ::DestroyWindow(tooltip_);
  Forget(hwnd_);
  ::DestroyWindow(hwnd_);
}

void NativeForm::RemoveChild(NativeChild& child) {
  children_.erase(std::remove(children_.begin(), children_.end(), &child), children_.end());
  HWND window = child.MadeHwnd();
  if (window == nullptr) return;
  if (lastFocus_ == window) lastFocus_ = nullptr;
  SetToolTip(window, L"");
}

void NativeForm::MakeChildren() const {
  childrenMade_ = true;
  for (NativeChild* child : children_) child->Hwnd();
}

void NativeForm::SetToolTip(HWND control, const std::wstring& text) {
  if (tooltip_ == nullptr) {
    if (text.empty()) return;
    tooltip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, Module(),
                                 nullptr);
    if (tooltip_ == nullptr) return;
    // Hints have several lines: a width limit makes the tip break at "\n".
    ::SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, ToDevice(600, dpi_));
  }
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = hwnd_;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  std::wstring copy = text;
  tool.lpszText = copy.data();
  const bool known = tools_.count(control) != 0;
  if (text.empty()) {
    if (known) ::SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    tools_.erase(control);
  } else if (known) {
    ::SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  } else if (::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) {
    tools_.insert(control);
  }
}

void NativeForm::SetBounds(const TRect& bounds) {
  const RECT device = ToDevice(bounds, dpi_);
  ::SetWindowPos(hwnd_, nullptr, device.left, device.top, device.right - device.left, device.bottom - device.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

TSize NativeForm::TextExtent() const {
  const GdiFont font(font_, dpi_);
  const SIZE extent = win::TextExtent(font.get(), Wide(Text()));
  return {LayoutCeil(extent.cx, dpi_), LayoutCeil(extent.cy, dpi_)};
}

void NativeForm::SetVisible(bool visible) {
  if (visible)
    Show();
  else
    ::ShowWindow(hwnd_, SW_HIDE);
}

void NativeForm::SetFocus() {
  ::SetActiveWindow(hwnd_);
  ::SetFocus(hwnd_);
}

bool NativeForm::HasFocus() const {
  HWND focus = ::GetFocus();
  return focus != nullptr && (focus == hwnd_ || ::IsChild(hwnd_, focus));
}

Image NativeForm::Grab() const { return GrabClientArea(hwnd_); }

void NativeForm::SetPlacement(const WindowPlacement& placement) {
  // The outer size is set as the layout gives it; the client area is what
  // the frame of this desktop leaves of it, as it is for any window.
  SetBounds(::Bounds(placement.framePosition.X, placement.framePosition.Y, placement.outerSize.Width,
                     placement.outerSize.Height));
}

TRect NativeForm::FrameRect() const {
  RECT rect;
  ::GetWindowRect(hwnd_, &rect);
  return ToLayout(rect, dpi_);
}

TSize NativeForm::ClientSize() const {
  RECT rect;
  ::GetClientRect(hwnd_, &rect);
  return {ToLayout(rect.right, dpi_), ToLayout(rect.bottom, dpi_)};
}

void NativeForm::Show() {
  MakeChildren();
  closedByQuery_ = false;
  // The task-bar button is the application window's: it is shown, without
  // any size, whenever a form is.
  HWND application = ::GetWindow(hwnd_, GW_OWNER);
  if (application != nullptr && !::IsWindowVisible(application)) ::ShowWindow(application, SW_SHOWNOACTIVATE);
  ::ShowWindow(hwnd_, SW_SHOWNORMAL);
  ::SetForegroundWindow(hwnd_);
  ::UpdateWindow(hwnd_);
}

bool NativeForm::Close() {
  closedByQuery_ = false;
  ::SendMessageW(hwnd_, WM_CLOSE, 0, 0);
  return closedByQuery_;
}

NativeChild* NativeForm::ChildOf(const ControlPeer* peer) const {
  for (NativeChild* child : children_)
    if (&child->Peer() == peer) return child;
  return nullptr;
}

ControlPeer* NativeForm::ChildAt(TPoint at) const {
  MakeChildren();
  const POINT device{ToDevice(at.X, dpi_), ToDevice(at.Y, dpi_)};
  HWND window = ::ChildWindowFromPointEx(hwnd_, device, CWP_SKIPINVISIBLE);
  if (window == nullptr || window == hwnd_) return nullptr;
  NativeChild* child = NativeChild::Of(window);
  return child != nullptr && &child->Form() == this ? &child->Peer() : nullptr;
}

void NativeForm::SetTabOrder(const std::vector<ControlPeer*>& order) {
  // The stored layout sets the tab order last: the controls are complete.
  MakeChildren();
  // Tab follows the stacking order of the children: each one goes just
  // below the one before it, leaving the others where they are.
  HWND previous = nullptr;
  for (ControlPeer* peer : order) {
    NativeChild* child = ChildOf(peer);
    if (child == nullptr) continue;
    if (previous != nullptr)
      ::SetWindowPos(child->Hwnd(), previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    previous = child->Hwnd();
  }
}

std::vector<ControlPeer*> NativeForm::TabCycle(ControlPeer* from) const {
  std::vector<ControlPeer*> cycle;
  MakeChildren();
  NativeChild* start = ChildOf(from);
  if (start == nullptr) return cycle;
  std::vector<HWND> seen;
  HWND window = start->Hwnd();
  for (;;) {
    window = ::GetNextDlgTabItem(hwnd_, window, FALSE);
    if (window == nullptr || std::find(seen.begin(), seen.end(), window) != seen.end()) break;
    seen.push_back(window);
    NativeChild* child = NativeChild::Of(window);
    if (child != nullptr) cycle.push_back(&child->Peer());
    if (window == start->Hwnd()) break;
  }
  return cycle;
}

Image NativeForm::Icon(int size) const {
  // The icon the window shows: one of its own, or else its class's.
  const bool small = size <= SystemMetricForDpi(SM_CXSMICON, dpi_);
  auto icon = reinterpret_cast<HICON>(::SendMessageW(hwnd_, WM_GETICON, small ? ICON_SMALL : ICON_BIG, 0));
  if (icon == nullptr) icon = reinterpret_cast<HICON>(::GetClassLongPtrW(hwnd_, small ? GCLP_HICONSM : GCLP_HICON));
  if (icon == nullptr) return {};
  return IconImage(icon, size);
}

std::string NativeForm::TaskBarText() const {
  // The task bar shows unowned windows: the one at the top of the owners.
  HWND window = hwnd_;
  while (HWND owner = ::GetWindow(window, GW_OWNER)) window = owner;
  return WindowText(window);
}

void NativeForm::SetIcons() {
  // The class's icons serve a form at the system's resolution, unless it
  // was given icons of its own for another: each WM_SETICON has the window
  // system convert the icons again.
  const int bigSize = SystemMetricForDpi(SM_CXICON, dpi_);
  const int smallSize = SystemMetricForDpi(SM_CXSMICON, dpi_);
  const bool classIconsFit = ::GetClassLongPtrW(hwnd_, GCLP_HICON) != 0 && bigSize == ::GetSystemMetrics(SM_CXICON) &&
                             smallSize == ::GetSystemMetrics(SM_CXSMICON);
  if (classIconsFit && !ownIcons_) return;
  ownIcons_ = true;
  HICON big = LoadProgramIcon(bigSize);
  HICON small = LoadProgramIcon(smallSize);
  if (big != nullptr) ::SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  if (small != nullptr) ::SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

void NativeForm::ResolutionChanged(int dpi, const RECT* suggested) {
  dpi_ = dpi;
  if (suggested != nullptr)
    ::SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                   suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
  for (NativeChild* child : children_) child->DpiChanged();
  if (tooltip_ != nullptr) ::SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, ToDevice(600, dpi_));
  SetIcons();
  ::InvalidateRect(hwnd_, nullptr, TRUE);
}

LRESULT NativeForm::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      // Closing hides the window; the peer's owner destroys it.
      if (events_ == nullptr || events_->CloseQuery()) {
        closedByQuery_ = true;
        ::ShowWindow(hwnd_, SW_HIDE);
        FormClosed(hwnd_);
      }
      return 0;
    case WM_COMMAND: {
      HWND sender = reinterpret_cast<HWND>(lParam);
      // Enter, which the dialog keys send as IDOK from no control (no
      // control has that number, and no button is a default one), goes to
      // the control that has the focus.
      if (sender == nullptr && LOWORD(wParam) == IDOK) {
        NativeChild* focused = NativeChild::Of(::GetFocus());
        if (focused != nullptr && &focused->Form() == this) focused->EnterPressed();
        return 0;
      }
      // Otherwise only a control's own notification.
      NativeChild* child = NativeChild::Of(sender);
      if (child != nullptr && &child->Form() == this && LOWORD(wParam) == ::GetDlgCtrlID(sender))
        child->Command(HIWORD(wParam));
      return 0;
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      NativeChild* child = NativeChild::Of(item->hwndItem);
      if (child == nullptr || &child->Form() != this) break;
      child->DrawItem(*item);
      return TRUE;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      NativeChild* child = NativeChild::Of(reinterpret_cast<HWND>(lParam));
      ::SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(child != nullptr ? child->Font().Color() : clWindowText)));
      ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus != nullptr && ::IsChild(hwnd_, focus)) lastFocus_ = focus;
      } else {
        // The focus goes back where it was, or to the first tab stop.
        HWND target = lastFocus_ != nullptr && ::IsChild(hwnd_, lastFocus_)
                          ? lastFocus_
                          : ::GetNextDlgTabItem(hwnd_, nullptr, FALSE);
        if (target != nullptr && ::IsWindowEnabled(hwnd_)) ::SetFocus(target);
        return 0;
      }
      break;
    case WM_SYSCOMMAND:
      // Minimising the form minimises the program: the application window
      // takes the form (an owned window) along.
      if ((wParam & 0xFFF0) == SC_MINIMIZE) {
        if (HWND application = ::GetWindow(hwnd_, GW_OWNER)) {
          ::ShowWindow(application, SW_MINIMIZE);
          return 0;
        }
      }
      break;
    case WM_DPICHANGED: ResolutionChanged(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam)); return 0;
  }
  return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace kit::win

std::unique_ptr<kit::FormPeer> kit::CreateFormPeer(FormPeer* owner) {
  return std::make_unique<win::NativeForm>(owner != nullptr ? &win::FormWindowOf(*owner) : nullptr);
}
