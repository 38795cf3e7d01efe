#include "tests/hid/linux/device_hold_helper.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "hid/service_table.h"

namespace lumetra::test {

void RunHoldHelperIfAsked(int argc, char** argv) {
  if (argc != 3 || std::strcmp(argv[1], kHoldHelperArgument) != 0) return;
  const hid::ServiceTable::Hold hold = hid::PlatformHoldServices();
  if (hold.HoldDevice(argv[2], 0) == INVALID_HANDLE_VALUE) std::_Exit(1);
  if (write(STDOUT_FILENO, "H", 1) != 1) std::_Exit(1);
  for (;;) pause();
}

}  // namespace lumetra::test
