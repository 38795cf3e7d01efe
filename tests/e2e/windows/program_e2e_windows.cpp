// The real lumetra.exe end to end under Wine, driven from outside as a user
// would: on a virtual display, with the emulated stopwatch reached through
// Wine's HID stack.
//
//   vorda2-emulator --no-manufacturer --times TIMES -- scripts/wine-with-stopwatch
//     --template DISPLAY-PREFIX PREFIX program_e2e_windows.exe LUMETRA.EXE TIMES SEPARATOR FOLDER
//
// Starts the program and checks what the user sees: the state line turns
// green with "Секундомер подключен"; "Считать данные" fills the table with
// the emulator's 84 times (copied out with Ctrl+C, with SEPARATOR as the
// decimal separator) and the status line says so; "Сохранить в MS EXCEL"
// asks through the system's save dialog, where a name without extension is
// typed and Save pressed, and the workbook appears in FOLDER (a Unix path)
// as "Измерения.xls" (read back afterwards on the Linux side, beside
// "status-line.txt", the status line's text after the read); the
// stopwatch unplugged and plugged in again shows in the state line, in
// blue and in green. Ends the program by closing its window. Prints the
// times each step took; exit status 0 when every check passed.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/e2e/windows/emulator_control.h"
#include "tests/e2e/windows/from_outside.h"
#include "tests/e2e/windows/program_window.h"
#include "tests/support/sample_measurements.h"

namespace {

using namespace std::chrono_literals;
using e2e::Check;
using e2e::Clock;
using e2e::Report;

std::string ShowFile(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes == INVALID_FILE_ATTRIBUTES ? "missing" : "present";
}

std::string SystemDecimalSeparator() {
  wchar_t text[8] = {};
  if (::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, text, 8) == 0) return {};
  return outside::Narrow(text);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: %s LUMETRA.EXE TIMES SEPARATOR FOLDER\n", argv[0]);
    return 2;
  }
  const std::string program = e2e::WinePath(argv[1]);
  std::ifstream times(e2e::WinePath(argv[2]));
  if (!times || !e2e::TimesFileMatches(times)) {
    std::fprintf(stderr, "%s: missing, or not the measurements this test expects\n", argv[2]);
    return 2;
  }
  const std::string separator = argv[3];
  const std::wstring folder = outside::Wide(e2e::WinePath(argv[4]));
  // "Измерения", typed without its extension: the dialog adds ".xls".
  const std::wstring typed = folder + L"\\\u0418\u0437\u043c\u0435\u0440\u0435\u043d\u0438\u044f";
  const std::wstring saved = typed + L".xls";
  const std::wstring statusFile = folder + L"\\status-line.txt";
  ::CreateDirectoryW(folder.c_str(), nullptr);
  ::DeleteFileW(saved.c_str());
  ::DeleteFileW(typed.c_str());
  ::DeleteFileW(statusFile.c_str());
  if (!Check(SystemDecimalSeparator() == separator, "the regional settings' decimal separator is \"" +
                                                        SystemDecimalSeparator() + "\", want \"" + separator + "\""))
    return 1;

  const auto started = Clock::now();
  e2e::Program lumetra;
  if (!e2e::Start(program, lumetra)) return 1;
  const DWORD pid = lumetra.pid();
  const DWORD thread = lumetra.thread();

  e2e::Window w;
  const bool shown = e2e::FindWindowOf(lumetra, w, 60s);
  if (Check(shown, "the window \"Lumetra\" and its controls")) {
    Report("start to the window", started);

    // The stopwatch is found.
    if (e2e::WaitForState(w, "Секундомер подключен", true)) Report("start to the stopwatch detected", started);

    // A full read.
    const auto readClicked = Clock::now();
    outside::Click(w.readButton);
    std::string status;
    const bool read = outside::WaitFor(
        [&] { return (status = outside::Text(w.status)).starts_with("Данные считаны "); }, 30s);
    if (Check(read, "status line after the read: \"" + status + "\" " + e2e::BoxUp(pid)))
      Report("read: click to the status line", readClicked);
    // The workbook's read-date line must say the same; its check reads it here.
    std::ofstream(std::filesystem::path(statusFile), std::ios::binary) << status;
    // The status line changes with every slot; the window takes clicks again
    // once the whole read has ended. A click on the table shows when.
    Check(outside::FocusOf(thread) != w.grid, "the focus is not in the table yet");
    if (Check(outside::ClickUntilFocused(w.grid, 30s), "the window takes clicks again after the read"))
      Report("read: click to the window taking clicks again", readClicked);

    // The save, through the system's save dialog.
    const auto saveClicked = Clock::now();
    outside::Click(w.saveButton);
    HWND dialog = e2e::WaitForSaveDialog(pid, 30s);
    if (Check(dialog != nullptr, "the save dialog (" + e2e::BoxUp(pid) + ")")) {
      Report("save: click to the save dialog", saveClicked);
      Check(e2e::SaveDialogFileType(dialog) == "Таблица (*.xls)",
            "the dialog's file type: \"" + e2e::SaveDialogFileType(dialog) + "\"");
      const auto savePressed = Clock::now();
      Check(e2e::SaveInDialog(dialog, typed), "typing the file name");
      std::string box;
      const bool written = outside::WaitFor(
          [&] {
            box = e2e::BoxUp(pid);
            return ShowFile(saved) == "present" || !box.empty();
          },
          30s);
      if (Check(written && box.empty(), "the workbook " + outside::Narrow(saved) + " is written (" + box + ")")) {
        Report("save: Save pressed to the file written", savePressed);
        Report("save: click to the file written", saveClicked);
        Report("read and save: first click to the file written", readClicked);
      }
      Check(ShowFile(typed) == "missing", "no file without the extension");
      Check(outside::WaitFor([&] { return outside::TopLevelWindows(pid, L"#32770").empty(); }, 10s),
            "no dialog or box left up: " + e2e::BoxUp(pid));
    }

    // The table, copied out with Ctrl+C: one cell selected copies it all.
    Check(outside::FocusOf(thread) != w.grid, "the focus is not in the table after the save");
    const auto cells = e2e::CopyTable(w);
    std::string wrong;
    if (Check(!cells.empty(), "Ctrl+C in the table copies it")) {
      const bool exact = e2e::ShowsMeasurements(cells, separator, wrong);
      Check(exact, "the table after the read: " + wrong);
    }

    // Unplugged and plugged in again.
    auto changed = Clock::now();
    if (Check(e2e::TellEmulator("u"), "unplugging through the emulator's control pipe") &&
        e2e::WaitForState(w, "Секундомер отключен", false))
      Report("unplug to the state line", changed);
    changed = Clock::now();
    if (Check(e2e::TellEmulator("p"), "plugging in through the emulator's control pipe") &&
        e2e::WaitForState(w, "Секундомер подключен", true))
      Report("plug-in to the state line", changed);
  }

  // The program ends when its window is closed.
  e2e::CloseAndCheckEnded(lumetra, w.form, "the program");
  std::printf("%s\n", e2e::Failures() == 0 ? "program end to end: passed" : "program end to end: FAILED");
  return e2e::Failures() == 0 ? 0 : 1;
}
