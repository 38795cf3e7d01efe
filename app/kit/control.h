// The base of the window's controls: a component with a native window (its
// peer, backend.h) placed in its form, showing a text in a font. A control
// whose peer reports events attaches them in its constructor body and
// detaches them in its destructor, as backend.h says.
//
// What the layout and the program set is held here; what is on the screen is
// asked of the peer, so that a test reads what the system shows.
#pragma once

#include <memory>
#include <string>

#include "app/kit/backend.h"
#include "base/component.h"

class TForm;

class TControl : public TComponent {
 public:
  // Frees the owned components, then the native window.
  ~TControl() override;

  // The form the control is placed in; nullptr for a form itself.
  TForm* parentForm() const { return parent_; }

  // Place and size in the form's client area (layout pixels), as the system
  // has them.
  TRect boundsRect() const { return peer_->bounds(); }
  void setBounds(int left, int top, int width, int height);
  void setBoundsRect(const TRect& rect) { setBounds(rect.Left, rect.Top, rect.Width(), rect.Height()); }
  TPoint pos() const { return boundsRect().TopLeft(); }
  TSize size() const { return boundsRect().Size(); }
  int width() const { return boundsRect().Width(); }
  int height() const { return boundsRect().Height(); }

  // The text the control shows (a form's caption), UTF-8.
  std::string text() const { return peer_->text(); }
  virtual void setText(const std::string& text);

  const TFont& font() const { return font_; }
  void setFont(const TFont& font);
  TColor fontColor() const { return font_.color(); }
  void setFontColor(TColor color);
  void setFontHeight(int pixels);

  // The tooltip; empty for none.
  std::string hint() const { return peer_->hint(); }
  void setHint(const std::string& text) { peer_->setHint(text); }

  bool isVisible() const { return peer_->isVisible(); }
  void setVisible(bool visible) { peer_->setVisible(visible); }
  bool hasFocus() const { return peer_->hasFocus(); }
  void setFocus() { peer_->setFocus(); }
  bool tabStop() const { return peer_->tabStop(); }
  void setTabStop(bool stop) { peer_->setTabStop(stop); }
  // Puts the control above its siblings.
  void bringToFront() { peer_->bringToFront(); }

  // What the control shows now, in device pixels.
  kit::Image grab() const { return peer_->grab(); }

  kit::ControlPeer& peer() const { return *peer_; }

 protected:
  // `parent` is the form the control is placed in and its owner.
  TControl(TForm* parent, std::unique_ptr<kit::ControlPeer> peer);
  // For a form, which is its own window.
  TControl(TComponent* owner, std::unique_ptr<kit::ControlPeer> peer);

  // After the font changed; a label takes the size of its text.
  virtual void fontChanged() {}

 private:
  TForm* parent_ = nullptr;
  std::unique_ptr<kit::ControlPeer> peer_;
  TFont font_;
};
