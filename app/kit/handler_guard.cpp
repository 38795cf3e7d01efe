#include "app/kit/handler_guard.h"

#include <QString>
#include <exception>

#include "app/kit/dialogs.h"

namespace app {

bool RunHandler(const std::function<void()>& handler) {
  try {
    handler();
    return true;
  } catch (const std::exception& error) {
    ShowErrorBox(QString::fromUtf8(error.what()));
  } catch (...) {
    ShowErrorBox(QStringLiteral("Unknown error"));
  }
  return false;
}

}  // namespace app
