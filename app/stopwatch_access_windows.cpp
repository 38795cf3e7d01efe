// The fix where Windows refuses to open the stopwatch's HID interface.
#include "app/stopwatch_access.h"

namespace app {

QString NoAccessFix() { return QStringLiteral("Windows отказал в доступе"); }

QString NoAccessHint(const std::string& devicePath) {
  return QStringLiteral(
             "Секундомер подключён, но Windows не даёт открыть его\n%1.\n"
             "Закройте другие программы, работающие с секундомером, или запустите\n"
             "программу от имени администратора, затем переподключите секундомер.")
      .arg(QString::fromStdString(devicePath));
}

}  // namespace app
