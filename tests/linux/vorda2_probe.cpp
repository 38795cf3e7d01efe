// Run under vorda2-emulator by the end-to-end test: finds the stopwatch
// through the Linux service table as the program does, reads the 84 slots
// and compares them with the emulator's measurements file; then unplugs and
// replugs it through the emulator's signals and watches the monitor.
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "hid/device_change_monitor.h"
#include "hid/hid_services.h"
#include "stopwatch_slots.h"

namespace {

constexpr GUID kHidGuid = {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

hid::ServiceTable table;

struct Found {
  std::string path;
  DWORD dev_inst = 0;
};

// The stopwatch among the present HID devices, by product string, vendor and product.
std::vector<Found> FindStopwatches() {
  std::vector<Found> found;
  HDEVINFO set = table.SetupDiGetClassDevsA(&kHidGuid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  if (set == INVALID_HANDLE_VALUE) return found;
  for (DWORD n = 0;; ++n) {
    SP_DEVICE_INTERFACE_DATA data{};
    data.cbSize = sizeof data;
    if (!table.SetupDiEnumDeviceInterfaces(set, nullptr, &kHidGuid, n, &data)) break;
    SP_DEVINFO_DATA info{};
    info.cbSize = sizeof info;
    DWORD needed = 0;
    table.SetupDiGetDeviceInterfaceDetailA(set, &data, nullptr, 0, &needed, &info);
    std::vector<char> buffer(needed);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    if (!table.SetupDiGetDeviceInterfaceDetailA(set, &data, detail, needed, nullptr, &info)) continue;
    HANDLE handle = table.CreateFileA(detail->DevicePath, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) continue;
    HIDD_ATTRIBUTES attributes{};
    char16_t product[254] = {};
    if (table.HidD_GetAttributes(handle, &attributes) && attributes.VendorID == 0x04D8 &&
        attributes.ProductID == 0xF67A && table.HidD_GetProductString(handle, product, sizeof product) &&
        std::u16string(product) == u"STOP-WATCH \"VORDA-2\"") {
      found.push_back({detail->DevicePath, info.DevInst});
    }
    table.CloseHandle(handle);
  }
  table.SetupDiDestroyDeviceInfoList(set);
  return found;
}

bool ReadAll(const std::string& path, const lumetra::emulator::Slots& expected) {
  HANDLE handle = table.CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  PHIDP_PREPARSED_DATA preparsed = nullptr;
  HIDP_CAPS caps{};
  table.HidD_GetPreparsedData(handle, &preparsed);
  table.HidP_GetCaps(preparsed, &caps);
  table.HidD_FreePreparsedData(preparsed);
  bool ok = caps.InputReportByteLength == 11 && caps.OutputReportByteLength == 2;
  for (int slot = 0; ok && slot < lumetra::emulator::kSlotCount; ++slot) {
    BYTE request[2] = {0x00, static_cast<BYTE>(0xAA + slot)};
    BYTE answer[11] = {};
    DWORD written = 0, read = 0;
    ok = table.WriteFile(handle, request, caps.OutputReportByteLength, &written, nullptr) &&
         table.ReadFile(handle, answer, caps.InputReportByteLength, &read, nullptr) && read == 11 &&
         answer[0] == 0 && std::memcmp(answer + 1, expected[static_cast<std::size_t>(slot)].data(), 10) == 0;
    if (!ok) std::fprintf(stderr, "probe: slot %d differs\n", slot);
  }
  table.CloseHandle(handle);
  return ok;
}

bool WaitForChange(hid::DeviceChangeMonitor& monitor) {
  for (int tries = 0; tries < 50; ++tries) {
    pollfd p{monitor.Fd(), POLLIN, 0};
    if (poll(&p, 1, 100) == 1 && monitor.Drain()) return true;
  }
  return false;
}

int Fail(const char* why) {
  std::fprintf(stderr, "probe: %s\n", why);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return Fail("usage: vorda2_probe TIMES-FILE");
  std::ifstream file(argv[1]);
  std::stringstream text;
  text << file.rdbuf();
  const auto expected = lumetra::emulator::ParseSlots(text.str());
  if (!expected.slots) return Fail(expected.error.c_str());

  hid::ServiceProvider& provider = hid::PlatformServiceProvider();
  if (!provider.LoadSetupServices(table) || !provider.LoadHidServices(table)) return Fail("no udev");
  provider.BindFileServices(table);
  auto monitor = hid::CreateDeviceChangeMonitor();
  if (!monitor) return Fail("no monitor");

  const auto first = FindStopwatches();
  if (first.size() != 1) return Fail("the stopwatch is not there");
  if (!ReadAll(first[0].path, *expected.slots)) return Fail("read-out differs");

  kill(getppid(), SIGUSR1);  // unplug
  if (!WaitForChange(*monitor)) return Fail("no notice of the removal");
  if (!FindStopwatches().empty()) return Fail("the stopwatch is still listed");

  kill(getppid(), SIGUSR2);  // plug in again
  if (!WaitForChange(*monitor)) return Fail("no notice of the arrival");
  const auto second = FindStopwatches();
  if (second.size() != 1) return Fail("the stopwatch did not come back");
  if (second[0].dev_inst == first[0].dev_inst) return Fail("the replugged stopwatch kept its DevInst");
  // No read-out here: umockdev 0.17 now and then fails to route another
  // process's first open of a node made after start-up to the device side
  // (the in-process tests cover the exchange after a replug).
  HIDD_ATTRIBUTES attributes{};
  HANDLE handle = table.CreateFileA(second[0].path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
  if (!table.HidD_GetAttributes(handle, &attributes)) return Fail("the replugged stopwatch cannot be identified");
  table.CloseHandle(handle);
  std::puts("probe: stopwatch found, read, unplugged and replugged");
  return 0;
}
