// The fix where the stopwatch is reached through udev and /dev/hidraw*.
#include "app/no_access_notice.h"

namespace app {

std::string NoAccessFix() { return "Правило udev: пакет или sudo make install"; }

std::string NoAccessHint(const std::string& devicePath) {
  return "Секундомер подключён, но права доступа не позволяют открыть " + devicePath +
         ".\n"
         "Установите пакет lumetra или выполните «sudo make install»: правило udev\n"
         "70-vorda2-stopwatch.rules откроет секундомер пользователю за этим компьютером.\n"
         "Затем переподключите секундомер.";
}

}  // namespace app
