// A control's native window inside a form: what every child peer does the
// same way (place, text, font, tooltip, visibility, focus, tab stop,
// stacking, pictures), in layout pixels scaled to the form's resolution.
//
// The window is made when something first needs it, and at the latest when
// the form sets its tab order or shows (NativeForm::makeChildren), with the
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
  HWND hwnd() const;
  // The window if it has been made, or nullptr.
  HWND madeHwnd() const { return hwnd_; }
  ControlPeer& peer() const { return peer_; }
  NativeForm& form() const { return form_; }
  int dpi() const;
  const TFont& font() const { return font_; }
  HFONT gdiFont() const { return gdiFont_.get(); }

  void setBounds(const TRect& bounds);
  TRect bounds() const;
  void setText(const std::string& text);
  std::string text() const { return hwnd_ != nullptr ? WindowText(hwnd_) : text_; }
  void setFont(const TFont& font);
  TSize textExtent() const;
  void setHint(const std::string& text);
  const std::string& hint() const { return hint_; }
  void setVisible(bool visible);
  bool isVisible() const { return hwnd_ != nullptr && ::IsWindowVisible(hwnd_) != FALSE; }
  void setFocus() { ::SetFocus(hwnd()); }
  bool hasFocus() const { return hwnd_ != nullptr && ::GetFocus() == hwnd_; }
  void setTabStop(bool stop);
  bool tabStop() const { return (style_ & WS_TABSTOP) != 0; }
  void bringToFront();
  // A window not shown yet is painted whole when it is shown: asking the
  // system for it now (one round trip to Wine's server each) buys nothing.
  void invalidate() {
    if (isVisible()) ::InvalidateRect(hwnd_, nullptr, TRUE);
  }
  Image grab() const;

  // The form's resolution changed: font and place again, from the layout's.
  virtual void dpiChanged();
  // A notification the control sent its form (WM_COMMAND).
  virtual void command(int /*code*/) {}
  // Paints an owner-drawn control (WM_DRAWITEM).
  virtual void drawItem(const DRAWITEMSTRUCT& /*item*/) {}
  // Enter while the control has the focus (the form's dialog keys turn it
  // into IDOK).
  virtual void enterPressed() {}

 protected:
  // Registers a window class of our own (the backend's window procedure,
  // the arrow cursor, `style`) and gives its name, or "Static" where
  // registering failed, so that a control still appears.
  static const wchar_t* RegisterChildClass(const wchar_t* name, UINT style);
  // The messages of a window of our own class.
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void make() const;
  void windowMade(HWND window) const override { hwnd_ = window; }

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

  void setBounds(const TRect& bounds) override { NativeChild::setBounds(bounds); }
  TRect bounds() const override { return NativeChild::bounds(); }
  void setText(const std::string& text) override { NativeChild::setText(text); }
  std::string text() const override { return NativeChild::text(); }
  void setFont(const TFont& font) override { NativeChild::setFont(font); }
  TSize textExtent() const override { return NativeChild::textExtent(); }
  void setHint(const std::string& text) override { NativeChild::setHint(text); }
  std::string hint() const override { return NativeChild::hint(); }
  void setVisible(bool visible) override { NativeChild::setVisible(visible); }
  bool isVisible() const override { return NativeChild::isVisible(); }
  void setFocus() override { NativeChild::setFocus(); }
  bool hasFocus() const override { return NativeChild::hasFocus(); }
  void setTabStop(bool stop) override { NativeChild::setTabStop(stop); }
  bool tabStop() const override { return NativeChild::tabStop(); }
  void bringToFront() override { NativeChild::bringToFront(); }
  void invalidate() override { NativeChild::invalidate(); }
  Image grab() const override { return NativeChild::grab(); }
};

}  // namespace kit::win
