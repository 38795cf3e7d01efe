#include "app/adapters/qt_main_thread_dispatcher.h"

#include <QMetaObject>

namespace app {

void QtMainThreadDispatcher::Post(std::function<void()> task) {
  QMetaObject::invokeMethod(&receiver_, std::move(task), Qt::QueuedConnection);
}

}  // namespace app
