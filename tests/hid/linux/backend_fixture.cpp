#include "tests/hid/linux/backend_fixture.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <fstream>
#include <thread>

namespace lumetra::test {

virtual_hid::HidDeviceSpec KeyboardSpec() {
  virtual_hid::HidDeviceSpec spec;
  spec.vendor = 0x046D;
  spec.product = 0xC31C;
  spec.version = 0x6400;
  spec.manufacturer = "Logitech";
  spec.product_string = "USB Keyboard";
  spec.hid_name = "Logitech USB Keyboard";
  spec.report_descriptor = kKeyboardDescriptor;
  return spec;
}

virtual_hid::HidDeviceSpec NumberedSpec() {
  virtual_hid::HidDeviceSpec spec;
  spec.usb = false;
  spec.vendor = 0x1234;
  spec.product = 0x5678;
  spec.hid_name = "Numbered Gadget";
  spec.report_descriptor = kNumberedDescriptor;
  return spec;
}

virtual_hid::Report StopwatchAnswer(int slot) {
  virtual_hid::Report answer(10, 0);
  for (int i = 0; i < 9; ++i) answer[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((slot + i) % 10);
  answer[9] = static_cast<std::uint8_t>(slot % 2);
  return answer;
}

bool WaitUntilPolling(pid_t tid, std::chrono::milliseconds timeout) {
  // The kernel shows the system call a sleeping thread is in as the first
  // field of its syscall file ("running" while it runs).
  const std::string path = "/proc/self/task/" + std::to_string(tid) + "/syscall";
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  do {
    std::ifstream file(path);
    long number = -1;
    if (file >> number && (number == SYS_poll || number == SYS_ppoll)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  } while (std::chrono::steady_clock::now() < deadline);
  return false;
}

void BackendTest::SetUp() {
  hid::ServiceProvider& provider = hid::PlatformServiceProvider();
  ASSERT_TRUE(provider.LoadSetupServices(table_.setup));
  ASSERT_TRUE(provider.LoadHidServices(table_.hid));
  provider.BindFileServices(table_.file);
  provider.BindHoldServices(table_.hold);
}

void BackendTest::TearDown() {
  hid::ServiceProvider& provider = hid::PlatformServiceProvider();
  provider.FreeHidServices(table_.hid);
  provider.FreeSetupServices(table_.setup);
}

HANDLE BackendTest::Open(const std::string& path, DWORD access) {
  return table_.file.CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                 nullptr);
}

}  // namespace lumetra::test
