// The paint box: a plain QWidget that hands its painting to the control.
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>

#include "app/kit/form_peer.h"
#include "app/kit/paint_box_peer.h"
#include "app/kit/qt/paint_device.h"
#include "app/kit/qt/control_peer.h"

namespace kit {
namespace {

class PaintBoxWidget final : public QWidget {
 public:
  explicit PaintBoxWidget(QWidget* parent) : QWidget(parent) {
    // Every pixel is the control's: nothing of the window shows through.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
  }

  // Cut when the peer goes: the control behind it is gone by then.
  PaintBoxEvents* events = nullptr;

 protected:
  void paintEvent(QPaintEvent* event) override {
    if (events == nullptr) return;
    QPainter painter(this);
    qt::QtPaintDevice device(painter, palette());
    events->paint(device, qt::ToTRect(event->rect()));
  }
};

class QtPaintBoxPeer final : public qt::WidgetPeer<ControlPeer> {
 public:
  QtPaintBoxPeer(PaintBoxWidget* box, PaintBoxEvents& events) : WidgetPeer(box), box_(box) { box_->events = &events; }
  ~QtPaintBoxPeer() override {
    if (widget() != nullptr) box_->events = nullptr;
  }

  // The box shows no text of its own.
  void setText(const std::string& text) override { text_ = text; }
  std::string text() const override { return text_; }

 private:
  PaintBoxWidget* box_;
  std::string text_;
};

}  // namespace

std::unique_ptr<ControlPeer> CreatePaintBoxPeer(FormPeer& parent, PaintBoxEvents& events) {
  return std::make_unique<QtPaintBoxPeer>(new PaintBoxWidget(qt::FormWidgetOf(parent)), events);
}

}  // namespace kit
