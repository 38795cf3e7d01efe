// Push buttons: QPushButton, never a default button.
#include <QPushButton>

#include "app/kit/button_peer.h"
#include "app/kit/form_peer.h"
#include "app/kit/qt/control_peer.h"

namespace kit {
namespace {

class QtButtonPeer final : public qt::WidgetPeer<ButtonPeer> {
 public:
  QtButtonPeer(QPushButton* button, ButtonEvents& events) : WidgetPeer(button), button_(button) {
    // Neither button is a default button: Enter in the grid must not click one.
    button_->setAutoDefault(false);
    button_->setDefault(false);
    QObject::connect(button_, &QPushButton::clicked, button_, [this] {
      if (events_ != nullptr) events_->clicked();
    });
    events_ = &events;
  }
  ~QtButtonPeer() override { events_ = nullptr; }

  void setText(const std::string& text) override { button_->setText(qt::ToQString(text)); }
  std::string text() const override { return qt::ToUtf8(button_->text()); }
  void setFont(const TFont& font) override {
    button_->setFont(qt::ToQFont(font));
    setTextColor(font.color(), QPalette::ButtonText);
  }

  void click() override { button_->click(); }
  bool isDefault() const override { return button_->isDefault() || button_->autoDefault(); }

 private:
  QPushButton* button_;
  ButtonEvents* events_ = nullptr;
};

}  // namespace

std::unique_ptr<ButtonPeer> CreateButtonPeer(FormPeer& parent, ButtonEvents& events) {
  return std::make_unique<QtButtonPeer>(new QPushButton(qt::FormWidgetOf(parent)), events);
}

}  // namespace kit
