// Labels and the framed status line (a static text), both QLabels.
#include <QLabel>

#include "app/kit/backend.h"
#include "app/kit/qt/control_peer.h"

namespace kit::qt {
namespace {

class NativeLabel : public NativeControl<ControlPeer> {
 public:
  explicit NativeLabel(QLabel* label) : NativeControl(label), label_(label) {
    label_->setTextFormat(Qt::PlainText);
    // The window's background shows through; the text stays on one line.
    label_->setAutoFillBackground(false);
    label_->setWordWrap(false);
  }

  void SetText(const std::string& text) override { label_->setText(ToQString(text)); }
  std::string Text() const override { return ToUtf8(label_->text()); }

 protected:
  QLabel* label_;
};

class NativeStaticText final : public NativeLabel {
 public:
  explicit NativeStaticText(QLabel* status) : NativeLabel(status) {
    // A one-pixel sunken edge around centred text, on a background of its
    // own (the window's colour), since it lies above the grid. It takes no focus.
    label_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label_->setLineWidth(1);
    label_->setAlignment(Qt::AlignCenter);
    label_->setAutoFillBackground(true);
    label_->setFocusPolicy(Qt::NoFocus);
  }
};

}  // namespace
}  // namespace kit::qt

std::unique_ptr<kit::ControlPeer> kit::CreateLabelPeer(FormPeer& parent) {
  return std::make_unique<qt::NativeLabel>(new QLabel(qt::FormWidgetOf(parent)));
}

std::unique_ptr<kit::ControlPeer> kit::CreateStaticTextPeer(FormPeer& parent) {
  return std::make_unique<qt::NativeStaticText>(new QLabel(qt::FormWidgetOf(parent)));
}
