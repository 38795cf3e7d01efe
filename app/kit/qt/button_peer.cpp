// Push buttons: QPushButton, never a default button. A plain window gives a
// button that is no default neither Enter nor Return (Qt leaves those to
// dialogs' default buttons); the desktop's buttons take them as a click
// when they have the focus, as they take Space, and so does this one.
#include <QKeyEvent>
#include <QPushButton>

#include "app/kit/backend.h"
#include "app/kit/qt/control_peer.h"

namespace kit::qt {
namespace {

class ButtonWidget final : public QPushButton {
 public:
  explicit ButtonWidget(QWidget* parent) : QPushButton(parent) {
    // Enter in the grid must not click a button.
    setAutoDefault(false);
    setDefault(false);
  }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
      click();
      return;
    }
    QPushButton::keyPressEvent(event);
  }
};

class NativeButton final : public NativeControl<ButtonPeer> {
 public:
  explicit NativeButton(ButtonWidget* button) : NativeControl(button), button_(button) {
    QObject::connect(button_, &QPushButton::clicked, button_, [this] {
      if (events_ != nullptr) events_->Clicked();
    });
  }

  void SetEvents(ButtonEvents* events) override { events_ = events; }

  void SetText(const std::string& text) override { button_->setText(ToQString(text)); }
  std::string Text() const override { return ToUtf8(button_->text()); }
  void SetFont(const TFont& font) override {
    button_->setFont(ToQFont(font));
    SetTextColor(font.Color(), QPalette::ButtonText);
  }

  void Click() override { button_->click(); }
  bool IsDefault() const override { return button_->isDefault() || button_->autoDefault(); }

 private:
  ButtonWidget* button_;
  ButtonEvents* events_ = nullptr;
};

}  // namespace
}  // namespace kit::qt

std::unique_ptr<kit::ButtonPeer> kit::CreateButtonPeer(FormPeer& parent) {
  return std::make_unique<qt::NativeButton>(new qt::ButtonWidget(qt::FormWidgetOf(parent)));
}
