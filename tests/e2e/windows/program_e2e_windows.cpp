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
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/sample_measurements.h"
#include "tests/e2e/windows/emulator_control.h"
#include "tests/e2e/windows/from_outside.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

int failures = 0;

bool Check(bool ok, const std::string& what) {
  if (!ok) {
    ++failures;
    std::printf("FAILED: %s\n", what.c_str());
    std::fflush(stdout);
  }
  return ok;
}

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void Report(const char* step, Clock::time_point since) {
  std::printf("%-44s %6.0f ms\n", step, MsSince(since));
  std::fflush(stdout);
}

// The program's window and the controls the user works with, found by what
// they show (README, "Windows").
struct Window {
  HWND form = nullptr;
  HWND label2 = nullptr;  // the stopwatch's state
  HWND status = nullptr;  // the sunken status line
  HWND readButton = nullptr;
  HWND saveButton = nullptr;
  HWND grid = nullptr;
};

bool Find(Window& w) {
  for (const outside::Child& child : outside::Children(w.form)) {
    if (child.windowClass == L"Static" && child.text.starts_with("Секундомер")) w.label2 = child.hwnd;
    if (child.windowClass == L"Static" && (child.style & SS_SUNKEN)) w.status = child.hwnd;
    if (child.windowClass == L"Button" && child.text == "Считать данные") w.readButton = child.hwnd;
    if (child.windowClass == L"Button" && child.text == "Сохранить в MS EXCEL") w.saveButton = child.hwnd;
    if (child.windowClass == L"TStringGrid") w.grid = child.hwnd;
  }
  return w.label2 && w.status && w.readButton && w.saveButton && w.grid;
}

bool Greenish(int r, int g, int b) { return g > r + 60 && g > b + 60; }
bool Bluish(int r, int g, int b) { return b > r + 100 && b > g + 100; }

// Waits until the state line reads `text` and is drawn in its colour (and
// not in the other one).
bool WaitForState(const Window& w, const std::string& text, bool green) {
  std::string shown;
  int inColour = 0;
  int inOther = 0;
  const bool ok = outside::WaitFor(
      [&] {
        shown = outside::Text(w.label2);
        const outside::Pixels pixels = outside::OnScreen(w.label2);
        inColour = pixels.Count(green ? Greenish : Bluish);
        inOther = pixels.Count(green ? Bluish : Greenish);
        return shown == text && inColour >= 10 && inOther == 0;
      },
      20s);
  return Check(ok, "Label2 reads \"" + shown + "\" with " + std::to_string(inColour) + " pixels " +
                       (green ? "green" : "blue") + " and " + std::to_string(inOther) + " of the other colour; " +
                       "want \"" + text + "\"");
}

// A box of the program's that is up: its caption and text, for the report.
std::string BoxUp(DWORD process) {
  for (HWND box : outside::TopLevelWindows(process, L"#32770")) {
    if (::GetDlgItem(box, 0xFFFF) == nullptr) continue;  // not a message box
    return outside::Text(box) + ": " + outside::Text(::GetDlgItem(box, 0xFFFF));
  }
  return {};
}

// The save dialog's field for the file name: an edit inside the name combo
// box of the Explorer-style dialog, or the old-style edit.
HWND FileNameField(HWND dialog) {
  constexpr int kNameCombo = 0x47C;  // cmb13
  constexpr int kNameEdit = 0x480;   // edt1
  if (HWND combo = ::GetDlgItem(dialog, kNameCombo)) {
    for (const outside::Child& child : outside::Children(combo))
      if (child.windowClass == L"Edit") return child.hwnd;
    return combo;
  }
  return ::GetDlgItem(dialog, kNameEdit);
}

std::string ShowFile(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes == INVALID_FILE_ATTRIBUTES ? "missing" : "present";
}

// The copied table, split into its cells.
std::vector<std::vector<std::string>> Cells(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    std::vector<std::string>& row = rows.emplace_back();
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
      row.push_back(line.substr(start, tab - start));
    row.push_back(line.substr(start));
  }
  return rows;
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
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::string commandLine = "\"" + program + "\"";
  if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
    std::fprintf(stderr, "cannot start %s (error %lu)\n", program.c_str(), ::GetLastError());
    return 1;
  }
  const DWORD pid = process.dwProcessId;
  const DWORD thread = process.dwThreadId;  // the program's user-interface thread

  Window w;
  const bool shown = outside::WaitFor(
      [&] {
        for (HWND form : outside::TopLevelWindows(pid, L"TForm"))
          if (outside::Text(form) == "Lumetra") w.form = form;
        return w.form != nullptr && Find(w);
      },
      60s);
  if (Check(shown, "the window \"Lumetra\" and its controls")) {
    Report("start to the window", started);

    // The stopwatch is found.
    if (WaitForState(w, "Секундомер подключен", true)) Report("start to the stopwatch detected", started);

    // A full read.
    const auto readClicked = Clock::now();
    outside::Click(w.readButton);
    std::string status;
    const bool read = outside::WaitFor(
        [&] { return (status = outside::Text(w.status)).starts_with("Данные считаны "); }, 30s);
    if (Check(read, "status line after the read: \"" + status + "\" " + BoxUp(pid)))
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
    HWND dialog = nullptr;
    const bool asked = outside::WaitFor(
        [&] {
          for (HWND box : outside::TopLevelWindows(pid, L"#32770"))
            if (FileNameField(box) != nullptr) dialog = box;
          return dialog != nullptr || !BoxUp(pid).empty();
        },
        30s);
    if (Check(asked && dialog != nullptr, "the save dialog (" + BoxUp(pid) + ")")) {
      Report("save: click to the save dialog", saveClicked);
      Check(outside::Text(::GetDlgItem(dialog, 0x470 /* cmb1 */)) == "Таблица (*.xls)",
            "the dialog's file type: \"" + outside::Text(::GetDlgItem(dialog, 0x470)) + "\"");
      Check(outside::SetText(FileNameField(dialog), outside::Narrow(typed)), "typing the file name");
      const auto savePressed = Clock::now();
      ::PostMessageW(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
      std::string box;
      const bool written = outside::WaitFor(
          [&] {
            box = BoxUp(pid);
            return ShowFile(saved) == "present" || !box.empty();
          },
          30s);
      if (Check(written && box.empty(), "the workbook " + outside::Narrow(saved) + " is written (" + box + ")")) {
        Report("save: Save pressed to the file written", savePressed);
        Report("read and save: first click to the file written", readClicked);
      }
      Check(ShowFile(typed) == "missing", "no file without the extension");
      Check(outside::WaitFor([&] { return outside::TopLevelWindows(pid, L"#32770").empty(); }, 10s),
            "no dialog or box left up: " + BoxUp(pid));
    }

    // The table, copied out with Ctrl+C: one cell selected copies it all.
    Check(outside::FocusOf(thread) != w.grid, "the focus is not in the table after the save");
    Check(outside::ClickUntilFocused(w.grid, 30s), "the window takes clicks again after the save");
    ::SetForegroundWindow(w.form);
    const DWORD before = outside::ClipboardChanges();
    const bool typedKeys = outside::TypeCtrlC();
    const bool copied = outside::WaitFor([&] { return outside::ClipboardChanges() != before; }, 10s);
    if (Check(typedKeys && copied, "Ctrl+C in the table copies it")) {
      const auto cells = Cells(outside::ClipboardText());
      for (int slot = 0; slot < 84; ++slot) {
        const std::size_t row = slot / 10 + 1;
        const std::size_t column = slot % 10 + 1;
        const std::string shownText = row < cells.size() && column < cells[row].size() ? cells[row][column] : "?";
        const std::string expected = e2e::ExpectedCellText(slot, separator);
        Check(shownText == expected,
              "slot " + std::to_string(slot) + " shows \"" + shownText + "\", expected \"" + expected + "\"");
      }
    }

    // Unplugged and plugged in again.
    auto changed = Clock::now();
    if (Check(e2e::TellEmulator("u"), "unplugging through the emulator's control pipe") &&
        WaitForState(w, "Секундомер отключен", false))
      Report("unplug to the state line", changed);
    changed = Clock::now();
    if (Check(e2e::TellEmulator("p"), "plugging in through the emulator's control pipe") &&
        WaitForState(w, "Секундомер подключен", true))
      Report("plug-in to the state line", changed);

    ::PostMessageW(w.form, WM_CLOSE, 0, 0);
  }

  // The program ends when its window is closed.
  const bool ended = ::WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0;
  DWORD exitCode = 1;
  ::GetExitCodeProcess(process.hProcess, &exitCode);
  if (!ended) ::TerminateProcess(process.hProcess, 1);
  Check(ended && exitCode == 0, "the program ends with status 0 once its window is closed (" +
                                    (ended ? std::to_string(exitCode) : std::string("still running")) + ")");
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  std::printf("%s\n", failures == 0 ? "program end to end: passed" : "program end to end: FAILED");
  return failures == 0 ? 0 : 1;
}
