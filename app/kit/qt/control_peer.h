// What every Qt peer has in common: one widget, owned by the peer, that
// shows the control. The peer's widget is a child of the form's widget, so
// it takes the form's palette (the button-face background) and font unless
// given its own.
//
// A peer whose widget reports events holds them as `Events* events`,
// attached and detached by its control (backend.h); its widget hands on
// nothing while none are attached.
#pragma once

#include <QPointer>
#include <QWidget>

#include "app/kit/backend.h"
#include "app/kit/qt/native.h"

namespace kit::qt {

// The widgets behind a peer: for the backend's own use and for the tests'
// input and probing helpers.
class WidgetOwner {
 public:
  virtual ~WidgetOwner() = default;
  // The control's outermost widget.
  virtual QWidget* Widget() const = 0;
  // The widget whose area is the control's client area (a scroll area's
  // viewport); the widget itself for most.
  virtual QWidget* ClientWidget() const { return Widget(); }
};

// The widget that shows a peer, or nullptr for a peer of another backend.
QWidget* WidgetOf(const ControlPeer& peer);
QWidget* ClientWidgetOf(const ControlPeer& peer);
// The peer a widget (or a widget inside it) shows, or nullptr.
ControlPeer* PeerOf(const QWidget* widget);
// The widget of a form's peer, as the parent of the controls placed in it.
// Every FormPeer of this backend has one (backend.h: CreateFormPeer makes
// them all).
QWidget* FormWidgetOf(FormPeer& form);

// Marks `widget` as the one that shows `peer`, for PeerOf.
void AttachPeer(QWidget* widget, ControlPeer* peer);

// Implements the ControlPeer operations on a widget. The texts are left to
// each kind of control.
template <typename Interface>
class NativeControl : public Interface, public WidgetOwner {
 public:
  explicit NativeControl(QWidget* widget) : widget_(widget) { AttachPeer(widget, this); }
  // The control has detached its events by now.
  ~NativeControl() override { delete widget_.data(); }

  QWidget* Widget() const override { return widget_.data(); }

  void SetBounds(const TRect& bounds) override { widget_->setGeometry(ToQRect(bounds)); }
  TRect Bounds() const override { return ToTRect(widget_->geometry()); }

  void SetFont(const TFont& font) override {
    widget_->setFont(ToQFont(font));
    SetTextColor(font.Color());
  }
  TSize TextExtent() const override {
    widget_->ensurePolished();
    const QSize hint = widget_->sizeHint();
    // A control without a size of its own keeps the one it has.
    if (!hint.isValid()) return {widget_->width(), widget_->height()};
    return {hint.width(), hint.height()};
  }
  void SetHint(const std::string& text) override { widget_->setToolTip(ToQString(text)); }
  std::string Hint() const override { return ToUtf8(widget_->toolTip()); }

  void SetVisible(bool visible) override { widget_->setVisible(visible); }
  bool IsVisible() const override { return widget_->isVisible(); }
  void SetFocus() override { widget_->setFocus(); }
  bool HasFocus() const override { return widget_->hasFocus(); }
  void SetTabStop(bool stop) override {
    const Qt::FocusPolicy policy = widget_->focusPolicy();
    widget_->setFocusPolicy(stop ? Qt::FocusPolicy(policy | Qt::TabFocus) : Qt::FocusPolicy(policy & ~Qt::TabFocus));
  }
  bool TabStop() const override { return (widget_->focusPolicy() & Qt::TabFocus) != 0; }
  void BringToFront() override { widget_->raise(); }
  void Invalidate() override { ClientWidget()->update(); }
  Image Grab() const override { return ToImage(widget_->grab().toImage()); }

 protected:
  // The colour of the control's text, in its palette's `role`. The system's
  // window-text colour is what the widget inherits: it is set only once
  // some other colour has been.
  void SetTextColor(TColor color, QPalette::ColorRole role = QPalette::WindowText) {
    if (color == clWindowText && !colorSet_) return;
    QPalette colors = widget_->palette();
    const QPalette inherited = widget_->parentWidget() != nullptr ? widget_->parentWidget()->palette() : colors;
    colors.setColor(role, color == clWindowText ? inherited.color(role) : ToQColor(color, inherited));
    widget_->setPalette(colors);
    colorSet_ = true;
  }

 private:
  QPointer<QWidget> widget_;
  bool colorSet_ = false;
};

}  // namespace kit::qt
