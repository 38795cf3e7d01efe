// The fix where the stopwatch is reached through udev and /dev/hidraw*.
#include "app/stopwatch_access.h"

namespace app {

QString NoAccessFix() { return QStringLiteral("Правило udev: пакет или sudo make install"); }

QString NoAccessHint(const std::string& devicePath) {
  return QStringLiteral(
             "Секундомер подключён, но права доступа не позволяют открыть %1.\n"
             "Установите пакет lumetra или выполните «sudo make install»: правило udev\n"
             "70-vorda2-stopwatch.rules откроет секундомер пользователю за этим компьютером.\n"
             "Затем переподключите секундомер.")
      .arg(QString::fromStdString(devicePath));
}

}  // namespace app
