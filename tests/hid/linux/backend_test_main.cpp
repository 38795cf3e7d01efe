// The Linux backend tests run against umockdev testbeds, which need the
// umockdev preload library in the process: the program restarts itself with
// it, so that it runs the same from ctest, a debugger or a shell.
#include <gtest/gtest.h>

#include "tests/hid/linux/device_hold_helper.h"
#include "tools/vorda2-emulator/virtual_hidraw_linux.h"

int main(int argc, char** argv) {
  lumetra::virtual_hid::ReexecUnderUmockdevPreload(argv);
  lumetra::test::RunHoldHelperIfAsked(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
