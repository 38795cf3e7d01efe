#include "app/kit/windows/control_peer.h"

#include <stdexcept>

#include "app/kit/windows/form_peer.h"
#include "app/kit/windows/window_image.h"

namespace kit::win {
namespace {

// The window property that leads from a control's window to its child
// object: a name of our own, where the system's controls and dialogs keep
// their own data in the window's user data.
constexpr wchar_t kChildProperty[] = L"LumetraControl";

}  // namespace

NativeChild::NativeChild(NativeForm& form, ControlPeer& peer, const wchar_t* windowClass, DWORD style, DWORD exStyle)
    : form_(form), peer_(peer), windowClass_(windowClass), style_(style), exStyle_(exStyle), id_(form.NextControlId()) {
  form_.AddChild(*this);
  if (form_.ChildrenMade()) Make();
}

NativeChild::~NativeChild() {
  form_.RemoveChild(*this);
  if (hwnd_ == nullptr) return;
  ::RemovePropW(hwnd_, kChildProperty);
  Forget(hwnd_);
  ::DestroyWindow(hwnd_);
}

HWND NativeChild::Hwnd() const {
  if (hwnd_ == nullptr) Make();
  return hwnd_;
}

void NativeChild::Make() const {
  const RECT device = ToDevice(layoutBounds_, Dpi());
  const HWND made = MakeWindow(exStyle_, windowClass_, Wide(text_).c_str(),
                               WS_CHILD | (visible_ ? WS_VISIBLE : 0) | WS_CLIPSIBLINGS | style_, device.left,
                               device.top, device.right - device.left, device.bottom - device.top, form_.Hwnd(),
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)));
  if (made == nullptr) throw std::runtime_error("cannot create a control window");
  hwnd_ = made;
  ::SetPropW(hwnd_, kChildProperty, const_cast<NativeChild*>(this));
  if (gdiFont_.get() != nullptr) ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(gdiFont_.get()), FALSE);
  if (!hint_.empty()) form_.SetToolTip(hwnd_, Wide(hint_));
}

NativeChild* NativeChild::Of(HWND window) {
  if (window == nullptr) return nullptr;
  // Only windows of this process carry our pointer.
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  if (process != ::GetCurrentProcessId()) return nullptr;
  return static_cast<NativeChild*>(::GetPropW(window, kChildProperty));
}

const wchar_t* NativeChild::RegisterChildClass(const wchar_t* name, UINT style) {
  WNDCLASSEXW windowClass{};
  windowClass.style = style;
  windowClass.lpszClassName = name;
  return RegisterOwnClass(windowClass) ? name : L"Static";
}

LRESULT NativeChild::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  // A window of our own answers for its font as the system's controls do.
  if (message == WM_GETFONT) return reinterpret_cast<LRESULT>(gdiFont_.get());
  if (message == WM_SETFONT) return 0;
  return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

int NativeChild::Dpi() const { return form_.Dpi(); }

void NativeChild::SetBounds(const TRect& bounds) {
  layoutBounds_ = bounds;
  if (hwnd_ == nullptr) return;
  const RECT device = ToDevice(bounds, Dpi());
  // A label sizes itself at each change of font and text: where it stays,
  // the system is not asked again.
  RECT current;
  ::GetWindowRect(hwnd_, &current);
  ::MapWindowPoints(nullptr, form_.Hwnd(), reinterpret_cast<POINT*>(&current), 2);
  if (::EqualRect(&current, &device)) return;
  // Nothing to repaint while the form is not shown: it is painted whole then.
  const UINT redraw = ::IsWindowVisible(hwnd_) ? 0 : SWP_NOREDRAW;
  ::SetWindowPos(hwnd_, nullptr, device.left, device.top, device.right - device.left, device.bottom - device.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | redraw);
}

TRect NativeChild::Bounds() const {
  // Where the window will be, to the device pixel, as it would tell it.
  if (hwnd_ == nullptr) return ToLayout(ToDevice(layoutBounds_, Dpi()), Dpi());
  RECT rect;
  ::GetWindowRect(hwnd_, &rect);
  ::MapWindowPoints(nullptr, form_.Hwnd(), reinterpret_cast<POINT*>(&rect), 2);
  return ToLayout(rect, Dpi());
}

void NativeChild::SetText(const std::string& text) {
  if (hwnd_ == nullptr)
    text_ = text;
  else
    ::SetWindowTextW(hwnd_, Wide(text).c_str());
}

void NativeChild::SetFont(const TFont& font) {
  font_ = font;
  // The control lets go of the old font before it is freed.
  GdiFont next(font_, Dpi());
  // Redrawn now only when it shows; a hidden one is drawn whole when shown.
  if (hwnd_ != nullptr) ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(next.get()), IsVisible());
  gdiFont_ = std::move(next);
}

TSize NativeChild::TextExtent() const {
  const SIZE extent = win::TextExtent(gdiFont_.get(), Wide(Text()));
  return {LayoutCeil(extent.cx, Dpi()), LayoutCeil(extent.cy, Dpi())};
}

void NativeChild::SetHint(const std::string& text) {
  hint_ = text;
  if (hwnd_ != nullptr) form_.SetToolTip(hwnd_, Wide(text));
}

void NativeChild::SetVisible(bool visible) {
  visible_ = visible;
  if (hwnd_ != nullptr) ::ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
}

void NativeChild::SetTabStop(bool stop) {
  style_ = stop ? style_ | WS_TABSTOP : style_ & ~WS_TABSTOP;
  if (hwnd_ == nullptr) return;
  const LONG style = ::GetWindowLongW(hwnd_, GWL_STYLE);
  ::SetWindowLongW(hwnd_, GWL_STYLE, stop ? style | WS_TABSTOP : style & ~WS_TABSTOP);
}

void NativeChild::BringToFront() {
  ::SetWindowPos(Hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

Image NativeChild::Grab() const { return GrabWindow(Hwnd()); }

void NativeChild::DpiChanged() {
  SetFont(font_);
  SetBounds(layoutBounds_);
}

}  // namespace kit::win
