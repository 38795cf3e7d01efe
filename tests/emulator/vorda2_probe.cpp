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
#include "hid/service_table.h"
#include "tests/support/interface_scan.h"
#include "tools/vorda2-emulator/stopwatch_slots.h"

namespace {

hid::ServiceTable table;

struct Found {
  std::string path;
  DWORD dev_inst = 0;
};

// The stopwatch among the present HID devices, by product string, vendor and product.
std::vector<Found> FindStopwatches() {
  std::vector<Found> found;
  for (const lumetra::test::ScannedInterface& scanned : lumetra::test::ScanPresentInterfaces(table)) {
    if (scanned.path.empty()) continue;
    HANDLE handle = table.file.CreateFileA(scanned.path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) continue;
    HIDD_ATTRIBUTES attributes{};
    char16_t product[254] = {};
    if (table.hid.HidD_GetAttributes(handle, &attributes) && attributes.VendorID == 0x04D8 &&
        attributes.ProductID == 0xF67A && table.hid.HidD_GetProductString(handle, product, sizeof product) &&
        std::u16string(product) == u"STOP-WATCH \"VORDA-2\"") {
      found.push_back({scanned.path, scanned.dev_inst});
    }
    table.file.CloseHandle(handle);
  }
  return found;
}

bool ReadAll(const std::string& path, const lumetra::emulator::Slots& expected) {
  HANDLE handle = table.file.CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                         nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  PHIDP_PREPARSED_DATA preparsed = nullptr;
  HIDP_CAPS caps{};
  table.hid.HidD_GetPreparsedData(handle, &preparsed);
  table.hid.HidP_GetCaps(preparsed, &caps);
  table.hid.HidD_FreePreparsedData(preparsed);
  bool ok = caps.InputReportByteLength == 11 && caps.OutputReportByteLength == 2;
  for (int slot = 0; ok && slot < stopwatch::kSlotCount; ++slot) {
    BYTE request[2] = {0x00, static_cast<BYTE>(0xAA + slot)};
    BYTE answer[11] = {};
    DWORD written = 0, read = 0;
    ok = table.file.WriteFile(handle, request, caps.OutputReportByteLength, &written, nullptr) &&
         table.file.ReadFile(handle, answer, caps.InputReportByteLength, &read, nullptr) && read == 11 &&
         answer[0] == 0 && std::memcmp(answer + 1, expected[static_cast<std::size_t>(slot)].data(), 10) == 0;
    if (!ok) std::fprintf(stderr, "probe: slot %d differs\n", slot);
  }
  table.file.CloseHandle(handle);
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
  if (!provider.LoadSetupServices(table.setup) || !provider.LoadHidServices(table.hid)) return Fail("no udev");
  provider.BindFileServices(table.file);
  auto monitor = hid::CreateDeviceChangeMonitor();
  if (!monitor) return Fail("no monitor");

  const auto first = FindStopwatches();
  if (first.size() != 1) return Fail("the stopwatch is not there");
  if (!ReadAll(first[0].path, *expected.slots)) return Fail("read-out differs");

  kill(getppid(), SIGUSR1);  // unplug
  if (!WaitForChange(*monitor)) return Fail("no notice of the removal");
  if (!FindStopwatches().empty()) return Fail("the stopwatch is still listed");

  // Plugged in again. A notice may come before the stopwatch is complete
  // (the testbed announces each node as it makes it); a later one finds it.
  kill(getppid(), SIGUSR2);
  std::vector<Found> second;
  while (second.empty() && WaitForChange(*monitor)) second = FindStopwatches();
  if (second.size() != 1) return Fail("the stopwatch did not come back");
  if (second[0].dev_inst == first[0].dev_inst) return Fail("the replugged stopwatch kept its DevInst");
  // No read-out here: umockdev 0.17 now and then fails to route another
  // process's first open of a node made after start-up to the device side
  // (the in-process tests cover the exchange after a replug).
  HIDD_ATTRIBUTES attributes{};
  HANDLE handle = table.file.CreateFileA(second[0].path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                         OPEN_EXISTING, 0, nullptr);
  if (!table.hid.HidD_GetAttributes(handle, &attributes)) return Fail("the replugged stopwatch cannot be identified");
  table.file.CloseHandle(handle);
  std::puts("probe: stopwatch found, read, unplugged and replugged");
  return 0;
}
