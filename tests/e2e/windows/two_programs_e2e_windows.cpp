// Two lumetra.exe on one emulated stopwatch under Wine, both told to read
// at the same moment, round after round, driven from outside as a user
// with two windows open would:
//
//   vorda2-emulator --no-manufacturer --times TIMES -- scripts/wine-with-stopwatch
//     --template DISPLAY-PREFIX PREFIX two_programs_e2e_windows.exe LUMETRA.EXE TIMES SEPARATOR
//
// The stopwatch's answers name no slot and reach every program that has it
// open, so only one read may run at a time. After each round every window
// must show the stopwatch's exact table with "Данные считаны ...", or the
// table it showed before the round with "Секундомер занят другой
// программой"; never a table of another program's answers. A last round is
// pressed while this program itself holds the stopwatch, as a third
// program would, for longer than a read waits for it: both must say busy
// and keep their tables. Exit status 0 when every check passed.
#include <windows.h>

// After windows.h, which they need; the HID header declares no C linkage.
#include <setupapi.h>
extern "C" {
#include <hidsdi.h>
}

#include <array>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <string>

#include "hid/service_table.h"
#include "tests/e2e/windows/emulator_control.h"
#include "tests/e2e/windows/from_outside.h"
#include "tests/e2e/windows/program_window.h"
#include "tests/support/sample_measurements.h"

namespace {

using namespace std::chrono_literals;
using e2e::Check;

constexpr int kRounds = 4;
constexpr char kBusy[] = "Секундомер занят другой программой";

// The stopwatch's device path as the system's HID class lists it, the path
// the programs hold it by; "" when it is not there.
std::string StopwatchPath() {
  GUID hidClass;
  ::HidD_GetHidGuid(&hidClass);
  HDEVINFO set = ::SetupDiGetClassDevsA(&hidClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  if (set == INVALID_HANDLE_VALUE) return {};
  std::string found;
  SP_DEVICE_INTERFACE_DATA item{};
  item.cbSize = sizeof item;
  for (DWORD index = 0; found.empty() && ::SetupDiEnumDeviceInterfaces(set, nullptr, &hidClass, index, &item);
       ++index) {
    DWORD needed = 0;
    ::SetupDiGetDeviceInterfaceDetailA(set, &item, nullptr, 0, &needed, nullptr);
    std::vector<char> buffer(needed + sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A));
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer.data());
    detail->cbSize = sizeof *detail;
    if (!::SetupDiGetDeviceInterfaceDetailA(set, &item, detail, needed, nullptr, nullptr)) continue;
    std::string lower = detail->DevicePath;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower.find("vid_04d8&pid_f67a") != std::string::npos) found = detail->DevicePath;
  }
  ::SetupDiDestroyDeviceInfoList(set);
  return found;
}

struct Copy {
  e2e::Program program;
  e2e::Window window;
  std::vector<std::vector<std::string>> table;  // as copied after the last round
  std::string name;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s LUMETRA.EXE TIMES SEPARATOR\n", argv[0]);
    return 2;
  }
  const std::string exe = e2e::WinePath(argv[1]);
  std::ifstream times(e2e::WinePath(argv[2]));
  if (!times || !e2e::TimesFileMatches(times)) {
    std::fprintf(stderr, "%s: missing, or not the measurements this test expects\n", argv[2]);
    return 2;
  }
  const std::string separator = argv[3];

  std::array<Copy, 2> copies;
  copies[0].name = "the first program";
  copies[1].name = "the second program";
  bool ready = true;
  for (Copy& copy : copies) ready = ready && e2e::Start(exe, copy.program);
  for (Copy& copy : copies)
    ready = ready && Check(e2e::FindWindowOf(copy.program, copy.window, 60s), copy.name + "'s window");
  if (ready) {
    // Both open where the layout puts them; the second is moved aside so
    // that the state lines of both are on the screen.
    ::SetWindowPos(copies[1].window.form, nullptr, 810, 640, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (Copy& copy : copies) {
      ready = ready && e2e::WaitForState(copy.window, "Секундомер подключен", true);
      copy.table = e2e::CopyTable(copy.window);
      ready = ready && Check(!copy.table.empty(), copy.name + ": Ctrl+C copies the table");
    }
  }

  int completed = 0;
  int busy = 0;
  // Both buttons pressed at once; then each window's outcome, once it takes
  // clicks again (its read has ended).
  const auto round = [&](const std::string& when, bool held) {
    // BM_CLICK, the press and release in one message: between two posted
    // ones, the other program's window coming to the front could take the
    // focus from the button, and the release would then click nothing.
    for (Copy& copy : copies) ::PostMessageW(copy.window.readButton, BM_CLICK, 0, 0);
    for (Copy& copy : copies) {
      // The press takes the focus from the table; the table takes it back
      // once the window takes clicks again.
      Check(outside::WaitFor([&] { return outside::FocusOf(copy.program.Thread()) != copy.window.grid; }, 10s),
            when + copy.name + ": the button takes the press");
      const auto before = copy.table;
      copy.table = e2e::CopyTable(copy.window);
      const std::string status = outside::Text(copy.window.status);
      if (!Check(!copy.table.empty(), when + copy.name + ": the window takes clicks again and Ctrl+C copies"))
        return false;
      if (status == kBusy) {
        ++busy;
        Check(copy.table == before, when + copy.name + ": busy, and its table changed");
      } else if (status.starts_with("Данные считаны ") && !held) {
        ++completed;
        std::string wrong;
        const bool exact = e2e::ShowsMeasurements(copy.table, separator, wrong);
        Check(exact, when + copy.name + " read: " + wrong);
      } else {
        Check(false, when + copy.name + ": status line \"" + status + "\" " + e2e::BoxUp(copy.program.Pid()));
      }
    }
    return true;
  };
  for (int r = 0; ready && r < kRounds; ++r) ready = round("round " + std::to_string(r + 1) + ", ", false);
  Check(completed > 0, "at least one read reached the table");
  std::printf("two programs, %d rounds: %d reads showed the table, %d found the stopwatch busy\n", kRounds, completed,
              busy);
  if (ready) {
    const std::string path = StopwatchPath();
    const hid::ServiceTable::Hold holds = hid::PlatformHoldServices();
    HANDLE hold = path.empty() ? INVALID_HANDLE_VALUE : holds.HoldDevice(path.c_str(), 10000);
    if (Check(hold != INVALID_HANDLE_VALUE, "this program holds the stopwatch (" + path + ")")) {
      const auto pressed = e2e::Clock::now();
      const int busyBefore = busy;
      round("held by a third program, ", true);
      Check(busy == busyBefore + 2, "both found the stopwatch busy while it was held");
      Check(e2e::Clock::now() - pressed >= 1900ms, "the reads waited about 2 s for the stopwatch");
      holds.ReleaseDeviceHold(hold);
    }
  }

  for (Copy& copy : copies)
    if (copy.program.process.hProcess != nullptr) e2e::CloseAndCheckEnded(copy.program, copy.window.form, copy.name);
  std::printf("%s\n", e2e::Failures() == 0 ? "two programs end to end: passed" : "two programs end to end: FAILED");
  return e2e::Failures() == 0 ? 0 : 1;
}
