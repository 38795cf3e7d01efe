// The fix where Windows refuses to open the stopwatch's HID interface.
#include "app/no_access_notice.h"

namespace app {

std::string NoAccessFix() { return "Windows отказал в доступе"; }

std::string NoAccessHint(const std::string& devicePath) {
  return "Секундомер подключён, но Windows не даёт открыть его\n" + devicePath +
         ".\n"
         "Закройте другие программы, работающие с секундомером, или запустите\n"
         "программу от имени администратора, затем переподключите секундомер.";
}

}  // namespace app
