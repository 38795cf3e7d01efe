// A control's native window inside a form: what every child peer does the
// same way (place, text, font, tooltip, visibility, focus, tab stop,
// stacking, pictures), in layout pixels scaled to the form's resolution.
//
// The window is made when something first needs it, and at the latest when
// the form sets its tab order or shows (NativeForm::MakeChildren), with the
// place, text, font and hint the control has by then. Until then those are
// only kept here. A stored layout sets each control's place, font and text
// one after another, and a label sizes itself at each; made at once, the
// window would be placed, sized and titled several times over, every
// change a round trip to the window server under Wine.
#pragma once

#include <string>

#include "app/kit/backend.h"
#include "app/kit/windows/fonts.h"
#include "app/kit/windows/native.h"
#include "app/kit/windows/own_window.h"

namespace kit::win {

class NativeForm;

class NativeChild : private OwnWindow {
 public:
  // The window is made at once only where the form's children are made
  // already. A peer whose window reports events hands them on only while
  // its control has attached them (backend.h).
  NativeChild(NativeForm& form, ControlPeer& peer, const wchar_t* windowClass, DWORD style, DWORD exStyle = 0);
  ~NativeChild() override;
  NativeChild(const NativeChild&) = delete;
  NativeChild& operator=(const NativeChild&) = delete;

  // The child a window of ours belongs to, or nullptr.
  static NativeChild* Of(HWND window);

  // The window, made now if it is not there yet.
  HWND Hwnd() const;
  // The window if it has been made, or nullptr.
  HWND MadeHwnd() const { return hwnd_; }
  ControlPeer& Peer() const { return peer_; }
  NativeForm& Form() const { return form_; }
  int Dpi() const;
  const TFont& Font() const { return font_; }
  HFONT FontHandle() const { return gdiFont_.get(); }

  void SetBounds(const TRect& bounds);
  TRect Bounds() const;
  void SetText(const std::string& text);
  std::string Text() const { return hwnd_ != nullptr ? WindowText(hwnd_) : text_; }
  void SetFont(const TFont& font);
  TSize TextExtent() const;
  void SetHint(const std::string& text);
  const std::string& Hint() const { return hint_; }
  void SetVisible(bool visible);
  bool IsVisible() const { return hwnd_ != nullptr && ::IsWindowVisible(hwnd_) != FALSE; }
  void SetFocus() { ::SetFocus(Hwnd()); }
  bool HasFocus() const { return hwnd_ != nullptr && ::GetFocus() == hwnd_; }
  void SetTabStop(bool stop);
  bool TabStop() const { return (style_ & WS_TABSTOP) != 0; }
  void BringToFront();
  // A window not shown yet is painted whole when it is shown: asking the
  // system for it now (one round trip to Wine's server each) buys nothing.
  void Invalidate() {
    if (IsVisible()) ::InvalidateRect(hwnd_, nullptr, TRUE);
  }
  Image Grab() const;

  // The form's resolution changed: font and place again, from the layout's.
  virtual void DpiChanged();
  // A notification the control sent its form (WM_COMMAND).
  virtual void Command(int /*code*/) {}
  // Paints an owner-drawn control (WM_DRAWITEM).
  virtual void DrawItem(const DRAWITEMSTRUCT& /*item*/) {}
  // Enter while the control has the focus (the form's dialog keys turn it
  // into IDOK).
  virtual void EnterPressed() {}

 protected:
  // Registers a window class of our own (the backend's window procedure,
  // the arrow cursor, `style`) and gives its name, or "Static" where
  // registering failed, so that a control still appears.
  static const wchar_t* RegisterChildClass(const wchar_t* name, UINT style);
  // The messages of a window of our own class.
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Make() const;
  void WindowMade(HWND window) const override { hwnd_ = window; }

  NativeForm& form_;
  ControlPeer& peer_;
  const wchar_t* windowClass_;
  DWORD style_;
  DWORD exStyle_;
  int id_;
  mutable HWND hwnd_ = nullptr;
  TRect layoutBounds_;
  TFont font_;
  GdiFont gdiFont_;
  std::string text_;  // the text the window is made with
  std::string hint_;
  bool visible_ = true;
};

// The ControlPeer operations of a child, for each kind of peer.
template <class Interface>
class NativeControl : public Interface, public NativeChild {
 public:
  NativeControl(NativeForm& form, const wchar_t* windowClass, DWORD style, DWORD exStyle = 0)
      : NativeChild(form, *this, windowClass, style, exStyle) {}

  void SetBounds(const TRect& bounds) override { NativeChild::SetBounds(bounds); }
  TRect Bounds() const override { return NativeChild::Bounds(); }
  void SetText(const std::string& text) override { NativeChild::SetText(text); }
  std::string Text() const override { return NativeChild::Text(); }
  void SetFont(const TFont& font) override { NativeChild::SetFont(font); }
  TSize TextExtent() const override { return NativeChild::TextExtent(); }
  void SetHint(const std::string& text) override { NativeChild::SetHint(text); }
  std::string Hint() const override { return NativeChild::Hint(); }
  void SetVisible(bool visible) override { NativeChild::SetVisible(visible); }
  bool IsVisible() const override { return NativeChild::IsVisible(); }
  void SetFocus() override { NativeChild::SetFocus(); }
  bool HasFocus() const override { return NativeChild::HasFocus(); }
  void SetTabStop(bool stop) override { NativeChild::SetTabStop(stop); }
  bool TabStop() const override { return NativeChild::TabStop(); }
  void BringToFront() override { NativeChild::BringToFront(); }
  void Invalidate() override { NativeChild::Invalidate(); }
  Image Grab() const override { return NativeChild::Grab(); }
};

}  // namespace kit::win
