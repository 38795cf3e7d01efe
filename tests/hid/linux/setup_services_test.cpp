// Enumeration and registry properties of the present hidraw nodes.
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "hid/device_change_monitor.h"
#include "hid/linux/udev_library.h"
#include "tests/hid/linux/backend_fixture.h"
#include "tests/support/interface_scan.h"

namespace lumetra::test {
namespace {

constexpr DWORD kErrorInvalidUserBuffer = 1784;

struct Interface {
  std::string path;
  DWORD dev_inst = 0;
};

class SetupServicesTest : public BackendTest {
 protected:
  // The scan a caller makes: enumerate, query the size, fetch the path.
  std::vector<Interface> Scan() {
    std::vector<Interface> found;
    HDEVINFO set =
        table_.setup.SetupDiGetClassDevsA(&kHidInterfaceClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    EXPECT_NE(set, INVALID_HANDLE_VALUE);
    for (DWORD n = 0;; ++n) {
      SP_DEVICE_INTERFACE_DATA data{};
      data.cbSize = sizeof data;
      if (!table_.setup.SetupDiEnumDeviceInterfaces(set, nullptr, &kHidInterfaceClass, n, &data)) {
        EXPECT_EQ(table_.file.GetLastError(), ERROR_NO_MORE_ITEMS);
        break;
      }
      SP_DEVINFO_DATA info{};
      info.cbSize = sizeof info;
      DWORD needed = 0;
      EXPECT_FALSE(table_.setup.SetupDiGetDeviceInterfaceDetailA(set, &data, nullptr, 0, &needed, &info));
      EXPECT_EQ(table_.file.GetLastError(), ERROR_INSUFFICIENT_BUFFER);
      std::vector<std::byte> buffer(needed);
      auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer.data());
      detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
      EXPECT_TRUE(table_.setup.SetupDiGetDeviceInterfaceDetailA(set, &data, detail, needed, nullptr, &info));
      EXPECT_EQ(needed, offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) + std::strlen(detail->DevicePath) + 1);
      found.push_back({detail->DevicePath, info.DevInst});
    }
    EXPECT_TRUE(table_.setup.SetupDiDestroyDeviceInfoList(set));
    return found;
  }

  // A set of the present interfaces and the record of its first one.
  HDEVINFO SetWithFirstInterface(SP_DEVICE_INTERFACE_DATA& data) {
    HDEVINFO set =
        table_.setup.SetupDiGetClassDevsA(&kHidInterfaceClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    data = {};
    data.cbSize = sizeof data;
    EXPECT_TRUE(table_.setup.SetupDiEnumDeviceInterfaces(set, nullptr, &kHidInterfaceClass, 0, &data));
    return set;
  }
};

TEST_F(SetupServicesTest, ScanListsEveryPresentNodeWithStableDistinctDevInst) {
  EXPECT_TRUE(Scan().empty());
  auto stopwatch = testbed_.Plug(StopwatchSpec());
  auto keyboard = testbed_.Plug(KeyboardSpec());
  const auto first = Scan();
  ASSERT_EQ(first.size(), 2u);
  EXPECT_EQ(first[0].path, stopwatch->Node());
  EXPECT_EQ(first[1].path, keyboard->Node());
  EXPECT_NE(first[0].dev_inst, 0u);
  EXPECT_NE(first[0].dev_inst, first[1].dev_inst);
  const auto second = Scan();
  ASSERT_EQ(second.size(), 2u);
  EXPECT_EQ(second[0].dev_inst, first[0].dev_inst);
  EXPECT_EQ(second[1].dev_inst, first[1].dev_inst);
}

TEST_F(SetupServicesTest, DetailChecksSizesAndNeverWritesPastTheBuffer) {
  testbed_.Plug(StopwatchSpec());
  SP_DEVICE_INTERFACE_DATA data;
  HDEVINFO set = SetWithFirstInterface(data);

  // The fixed-part size of another platform is refused, as Windows does.
  std::vector<std::byte> buffer(64, std::byte{0x5A});
  auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer.data());
  detail->cbSize = 5;
  EXPECT_FALSE(table_.setup.SetupDiGetDeviceInterfaceDetailA(set, &data, detail, 64, nullptr, nullptr));
  EXPECT_EQ(table_.file.GetLastError(), kErrorInvalidUserBuffer);

  // A buffer one byte short: the size again, and nothing written.
  const DWORD needed =
      static_cast<DWORD>(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) + 13);  // "/dev/hidraw0"
  detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
  DWORD required = 0;
  EXPECT_FALSE(table_.setup.SetupDiGetDeviceInterfaceDetailA(set, &data, detail, needed - 1, &required, nullptr));
  EXPECT_EQ(table_.file.GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(required, needed);
  EXPECT_EQ(buffer[sizeof(DWORD)], std::byte{0x5A});

  // A record of the wrong size is refused as well.
  SP_DEVINFO_DATA info{};
  info.cbSize = 28;
  EXPECT_FALSE(table_.setup.SetupDiGetDeviceInterfaceDetailA(set, &data, detail, 64, nullptr, &info));
  EXPECT_EQ(table_.file.GetLastError(), kErrorInvalidUserBuffer);

  EXPECT_TRUE(table_.setup.SetupDiDestroyDeviceInfoList(set));
  EXPECT_FALSE(table_.setup.SetupDiDestroyDeviceInfoList(set));
  EXPECT_EQ(table_.file.GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(table_.setup.SetupDiEnumDeviceInterfaces(set, nullptr, &kHidInterfaceClass, 0, &data));
}

TEST_F(SetupServicesTest, RegistryPropertiesAnswerFromUdevAndHonourTheBufferSize) {
  testbed_.Plug(StopwatchSpec());
  SP_DEVICE_INTERFACE_DATA data;
  HDEVINFO set = SetWithFirstInterface(data);
  SP_DEVINFO_DATA info{};
  info.cbSize = sizeof info;
  DWORD needed = 0;
  table_.setup.SetupDiGetDeviceInterfaceDetailA(set, &data, nullptr, 0, &needed, &info);

  auto read = [&](DWORD property, DWORD* type, std::vector<BYTE>& out) {
    out.assign(1024, 0);
    DWORD size = 0;
    const BOOL ok = table_.setup.SetupDiGetDeviceRegistryPropertyA(set, &info, property, type, out.data(),
                                                                   static_cast<DWORD>(out.size()), &size);
    out.resize(ok ? size : 0);
    return ok;
  };
  std::vector<BYTE> value;
  DWORD type = 0;
  ASSERT_TRUE(read(SPDRP_HARDWAREID, &type, value));
  EXPECT_EQ(type, REG_MULTI_SZ);
  const std::string ids(value.begin(), value.end());
  EXPECT_EQ(ids, std::string("HID\\VID_04D8&PID_F67A&REV_0102\0HID\\VID_04D8&PID_F67A\0"
                             "HID\\VID_04D8&UP:FF00_U:0001\0HID_DEVICE_UP:FF00_U:0001\0HID_DEVICE\0\0",
                             ids.size()));
  ASSERT_TRUE(read(SPDRP_CLASS, &type, value));
  EXPECT_STREQ(reinterpret_cast<const char*>(value.data()), "HIDClass");
  ASSERT_TRUE(read(SPDRP_MFG, &type, value));
  EXPECT_STREQ(reinterpret_cast<const char*>(value.data()), "Microchip Technology Inc.");
  ASSERT_TRUE(read(SPDRP_BUSNUMBER, &type, value));
  EXPECT_EQ(type, REG_DWORD);
  ASSERT_EQ(value.size(), 4u);
  EXPECT_EQ(value[0], 1);
  ASSERT_TRUE(read(SPDRP_LOCATION_INFORMATION, &type, value));
  EXPECT_STREQ(reinterpret_cast<const char*>(value.data()), "usb-0000:00:14.0-1/input0");

  // No equivalent: absent, as Windows reports it.
  EXPECT_FALSE(read(SPDRP_FRIENDLYNAME, &type, value));
  EXPECT_EQ(table_.file.GetLastError(), ERROR_INVALID_DATA);

  // Too small: the size needed, and the buffer left alone.
  BYTE small[4] = {0xEE, 0xEE, 0xEE, 0xEE};
  DWORD required = 0;
  EXPECT_FALSE(table_.setup.SetupDiGetDeviceRegistryPropertyA(set, &info, SPDRP_CLASS, nullptr, small, 4, &required));
  EXPECT_EQ(table_.file.GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(required, 9u);
  EXPECT_EQ(small[0], 0xEE);
  EXPECT_TRUE(table_.setup.SetupDiDestroyDeviceInfoList(set));
}

TEST(SetupServicesWithoutUdev, TheLayerStaysInertAndTheFileServicesRemain) {
  hid::ServiceTable table;
  hid::linux_backend::SetUdevLibraryName("libudev-which-is-not-there.so.0");
  hid::ServiceProvider& provider = hid::PlatformServiceProvider();
  EXPECT_FALSE(provider.LoadSetupServices(table.setup));
  EXPECT_FALSE(provider.LoadHidServices(table.hid));
  EXPECT_EQ(table.setup.SetupDiGetClassDevsA, nullptr);
  EXPECT_EQ(table.hid.HidD_GetAttributes, nullptr);
  EXPECT_EQ(hid::CreateDeviceChangeMonitor(), nullptr);
  provider.BindFileServices(table.file);
  EXPECT_NE(table.file.CreateFileA, nullptr);
  hid::linux_backend::SetUdevLibraryName(nullptr);
  EXPECT_TRUE(provider.LoadSetupServices(table.setup));
  provider.FreeSetupServices(table.setup);
  EXPECT_EQ(table.setup.SetupDiEnumDeviceInterfaces, nullptr);
}

}  // namespace
}  // namespace lumetra::test
