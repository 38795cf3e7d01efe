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
  TForm* ParentForm() const { return parent_; }

  // Place and size in the form's client area (layout pixels), as the system
  // has them.
  TRect BoundsRect() const { return peer_->Bounds(); }
  void SetBounds(int left, int top, int width, int height);
  void SetBoundsRect(const TRect& rect) { SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height()); }
  TPoint Pos() const { return BoundsRect().TopLeft(); }
  TSize Size() const { return BoundsRect().Size(); }
  int Width() const { return BoundsRect().Width(); }
  int Height() const { return BoundsRect().Height(); }

  // The text the control shows (a form's caption), UTF-8.
  std::string Text() const { return peer_->Text(); }
  virtual void SetText(const std::string& text);

  const TFont& Font() const { return font_; }
  void SetFont(const TFont& font);
  TColor FontColor() const { return font_.Color(); }
  void SetFontColor(TColor color);
  void SetFontHeight(int pixels);

  // The tooltip; empty for none.
  std::string Hint() const { return peer_->Hint(); }
  void SetHint(const std::string& text) { peer_->SetHint(text); }

  bool IsVisible() const { return peer_->IsVisible(); }
  void SetVisible(bool visible) { peer_->SetVisible(visible); }
  bool HasFocus() const { return peer_->HasFocus(); }
  void SetFocus() { peer_->SetFocus(); }
  bool TabStop() const { return peer_->TabStop(); }
  void SetTabStop(bool stop) { peer_->SetTabStop(stop); }
  // Puts the control above its siblings.
  void BringToFront() { peer_->BringToFront(); }

  // What the control shows now, in device pixels.
  kit::Image Grab() const { return peer_->Grab(); }

  kit::ControlPeer& Peer() const { return *peer_; }

 protected:
  // `parent` is the form the control is placed in and its owner.
  TControl(TForm* parent, std::unique_ptr<kit::ControlPeer> peer);
  // For a form, which is its own window.
  TControl(TComponent* owner, std::unique_ptr<kit::ControlPeer> peer);

  // After the font changed; a label takes the size of its text.
  virtual void FontChanged() {}

 private:
  TForm* parent_ = nullptr;
  std::unique_ptr<kit::ControlPeer> peer_;
  TFont font_;
};
