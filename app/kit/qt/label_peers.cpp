// Labels and the framed status line, both QLabels.
#include <QLabel>

#include "app/kit/form_peer.h"
#include "app/kit/qt/control_peer.h"

namespace kit {
namespace {

class LabelPeer final : public qt::WidgetPeer<ControlPeer> {
 public:
  explicit LabelPeer(QLabel* label) : WidgetPeer(label), label_(label) { label_->setTextFormat(Qt::PlainText); }

  void setText(const std::string& text) override { label_->setText(qt::ToQString(text)); }
  std::string text() const override { return qt::ToUtf8(label_->text()); }

 private:
  QLabel* label_;
};

}  // namespace

std::unique_ptr<ControlPeer> CreateLabelPeer(FormPeer& parent) {
  auto* label = new QLabel(qt::FormWidgetOf(parent));
  // The window's background shows through; the text stays on one line.
  label->setAutoFillBackground(false);
  label->setWordWrap(false);
  return std::make_unique<LabelPeer>(label);
}

std::unique_ptr<ControlPeer> CreateStaticTextPeer(FormPeer& parent) {
  auto* status = new QLabel(qt::FormWidgetOf(parent));
  // A one-pixel sunken edge around centred text, on a background of its
  // own (the window's colour), since it lies above the grid. It takes no focus.
  status->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  status->setLineWidth(1);
  status->setAlignment(Qt::AlignCenter);
  status->setAutoFillBackground(true);
  status->setFocusPolicy(Qt::NoFocus);
  return std::make_unique<LabelPeer>(status);
}

}  // namespace kit
