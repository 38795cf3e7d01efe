#include "backend_fixture.h"

namespace lumetra::test {

mock::HidDeviceSpec KeyboardSpec() {
  mock::HidDeviceSpec spec;
  spec.vendor = 0x046D;
  spec.product = 0xC31C;
  spec.version = 0x6400;
  spec.manufacturer = "Logitech";
  spec.product_string = "USB Keyboard";
  spec.hid_name = "Logitech USB Keyboard";
  spec.report_descriptor = kKeyboardDescriptor;
  return spec;
}

mock::HidDeviceSpec NumberedSpec() {
  mock::HidDeviceSpec spec;
  spec.usb = false;
  spec.vendor = 0x1234;
  spec.product = 0x5678;
  spec.hid_name = "Numbered Gadget";
  spec.report_descriptor = kNumberedDescriptor;
  return spec;
}

mock::Report StopwatchAnswer(int slot) {
  mock::Report answer(10, 0);
  for (int i = 0; i < 9; ++i) answer[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((slot + i) % 10);
  answer[9] = static_cast<std::uint8_t>(slot % 2);
  return answer;
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
