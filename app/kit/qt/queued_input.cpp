// Dropping the input that queued up while a handler held the window: an
// event filter swallows it while the queue is delivered.
#include "app/kit/backend.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

namespace kit {
namespace {

// Swallows user input on its way to any object while it is installed.
class InputSwallower final : public QObject {
 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::ShortcutOverride:
      case QEvent::Wheel:
      case QEvent::TouchBegin:
      case QEvent::TouchUpdate:
      case QEvent::TouchEnd: return true;
      default: return false;
    }
  }
};

// Long enough to deliver what a held window has queued; the queue is
// drained well before, and then the call returns at once.
constexpr int kDrainLimitMs = 100;

}  // namespace

void DropQueuedInput() {
  QCoreApplication* application = QCoreApplication::instance();
  if (application == nullptr) return;
  InputSwallower swallower;
  application->installEventFilter(&swallower);
  QCoreApplication::processEvents(QEventLoop::AllEvents, kDrainLimitMs);
  application->removeEventFilter(&swallower);
}

}  // namespace kit
