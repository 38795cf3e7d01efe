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
// blue and in green.
//
// Every read is kept in the journal, in the Documents known folder of the
// user the run is made as (a Cyrillic name in the path): the first read's
// entry is checked complete, a second read adds a file and leaves the
// first byte for byte, and the first read, put back from the journal
// window, is saved again as "Из журнала.xls" (compared with the first
// workbook on the Linux side). Ends the program by closing its window;
// then a second program reads in turn and is killed (TerminateProcess)
// right after its read, and must leave a complete entry of its own.
// Prints the times each step took; exit status 0 when every check passed.
#include <windows.h>

#include <algorithm>
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

// Saves through the system's save dialog under `typed` (no extension):
// true once `saved` is written and no box is left up.
bool SaveThroughDialog(DWORD pid, const e2e::Window& w, const std::wstring& typed, const std::wstring& saved) {
  const bool ok = e2e::Written(w, saved, {}, e2e::ClickSave(w, typed, false, "save"), "save");
  Check(::GetFileAttributesW(typed.c_str()) == INVALID_FILE_ATTRIBUTES, "no file without the extension");
  Check(outside::WaitFor([&] { return outside::TopLevelWindows(pid, L"#32770").empty(); }, 10s),
        "no dialog or box left up: " + e2e::BoxUp(pid));
  return ok;
}

// Whether a text holds anything beyond ASCII.
bool BeyondAscii(const std::wstring& text) {
  return std::any_of(text.begin(), text.end(), [](wchar_t c) { return c > 0x7F; });
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
  // "Из журнала": the workbook saved after the read is put back.
  const std::wstring typedAgain = folder + L"\\\u0418\u0437 \u0436\u0443\u0440\u043d\u0430\u043b\u0430";
  const std::wstring savedAgain = typedAgain + L".xls";
  ::CreateDirectoryW(folder.c_str(), nullptr);
  for (const std::wstring& file : {saved, typed, statusFile, savedAgain, typedAgain}) ::DeleteFileW(file.c_str());

  // The journal of the user the run is made as, emptied of earlier runs.
  const std::wstring journal = e2e::JournalFolder();
  wchar_t profile[MAX_PATH] = {};
  ::GetEnvironmentVariableW(L"USERPROFILE", profile, MAX_PATH);
  Check(BeyondAscii(profile) && journal.starts_with(profile),
        "the journal " + outside::Narrow(journal) + " is in the profile of a user with a Cyrillic name (" +
            outside::Narrow(profile) + ")");
  for (const auto& [name, bytes] : e2e::JournalFiles(journal)) ::DeleteFileW((journal + L"\\" + name).c_str());
  if (!Check(SystemDecimalSeparator() == separator, "the regional settings' decimal separator is \"" +
                                                        SystemDecimalSeparator() + "\", want \"" + separator + "\""))
    return 1;

  const auto started = Clock::now();
  e2e::Program lumetra;
  if (!e2e::Start(program, lumetra)) return 1;
  const DWORD pid = lumetra.Pid();
  const DWORD thread = lumetra.Thread();

  e2e::Window w;
  // The journal's files as the first program leaves them, and the first read's.
  std::map<std::wstring, std::string> kept;
  std::wstring first;
  const bool shown = e2e::FindWindowOf(lumetra, w, 60s);
  if (Check(shown, "the window \"Lumetra\" and its controls")) {
    Report("start to the window", started);

    // The stopwatch is found.
    if (e2e::WaitForState(w, "Секундомер подключен", true)) Report("start to the stopwatch detected", started);

    // A full read.
    const auto readClicked = Clock::now();
    outside::Click(w.readButton);
    std::string status;
    const bool read =
        outside::WaitFor([&] { return (status = outside::Text(w.status)).starts_with("Данные считаны "); }, 30s);
    if (Check(read, "status line after the read: \"" + status + "\" " + e2e::BoxUp(pid)))
      Report("read: click to the status line", readClicked);
    // The workbook's read-date line must say the same; its check reads it here.
    std::ofstream(std::filesystem::path(statusFile), std::ios::binary) << status;
    // The status line changes with every slot; the window takes clicks again
    // once the whole read has ended. A click on the table shows when.
    Check(outside::FocusOf(thread) != w.grid, "the focus is not in the table yet");
    if (Check(outside::ClickUntilFocused(w.grid, 30s), "the window takes clicks again after the read"))
      Report("read: click to the window taking clicks again", readClicked);

    // Kept in the journal, complete, before the status line said so.
    kept = e2e::JournalFiles(journal);
    if (Check(kept.size() == 1,
              "the read is kept in " + outside::Narrow(journal) + " (" + std::to_string(kept.size()) + " files)")) {
      first = kept.begin()->first;
      e2e::CheckCompleteEntry(journal + L"\\" + first, "the first read's entry");
    }

    // The save, through the system's save dialog.
    if (SaveThroughDialog(pid, w, typed, saved)) Report("read and save: first click to the file written", readClicked);

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

    // A second read adds a file and leaves the first as it was.
    Check(outside::ClickUntilFocused(w.grid, 30s), "the window takes clicks before the second read");
    outside::Click(w.readButton);
    std::map<std::wstring, std::string> now;
    Check(outside::WaitFor([&] { return (now = e2e::JournalFiles(journal)).size() == 2; }, 30s),
          "the second read adds a file (" + std::to_string(now.size()) + " files)");
    Check(!first.empty() && now[first] == kept[first], "the first entry is unchanged, byte for byte");
    kept = now;

    // The first read, the older of the two, put back from the journal and saved again.
    Check(outside::ClickUntilFocused(w.grid, 30s), "the window takes clicks after the second read");
    if (e2e::OpenFromJournal(w, 1)) {
      const std::string back = "Из журнала: считано " + status.substr(std::string("Данные считаны ").size());
      Check(outside::WaitFor([&] { return outside::Text(w.status) == back; }, 20s),
            "the status line reads \"" + back + "\": \"" + outside::Text(w.status) + "\"");
      ::SetForegroundWindow(w.form);
      if (Check(outside::ClickUntilFocused(w.grid, 30s), "the main window takes clicks again"))
        SaveThroughDialog(pid, w, typedAgain, savedAgain);
    }
  }

  // The program ends when its window is closed.
  e2e::CloseAndCheckEnded(lumetra, w.form, "the program");

  // A second program reads in turn and is killed right after its read.
  e2e::Program other;
  e2e::Window ow;
  if (e2e::Start(program, other) && Check(e2e::FindWindowOf(other, ow, 60s), "the second program's window") &&
      e2e::WaitForState(ow, "Секундомер подключен", true)) {
    outside::Click(ow.readButton);
    const bool read = outside::WaitFor([&] { return outside::Text(ow.status).starts_with("Данные считаны "); }, 30s);
    // Maroon: the read shows, but the journal did not keep it.
    const int maroon =
        outside::OnScreen(ow.status).Count([](int r, int g, int b) { return r > 90 && g < 40 && b < 40; });
    ::TerminateProcess(other.process.hProcess, 9);
    ::WaitForSingleObject(other.process.hProcess, 20000);
    Check(read, "the second program read the stopwatch: \"" + outside::Text(ow.status) + "\"");
    Check(maroon == 0, "the second program's status line says nothing of a journal it could not write");
    const std::map<std::wstring, std::string> after = e2e::JournalFiles(journal);
    std::string names;
    for (const auto& [name, bytes] : after) names += " \"" + outside::Narrow(name) + "\"";
    Check(after.size() == 3, "the killed program left one entry (" + std::to_string(after.size()) +
                                 " files in the folder, temporaries included:" + names + ")");
    for (const auto& [name, bytes] : after) {
      if (kept.count(name)) {
        Check(bytes == kept.at(name), outside::Narrow(name) + " is unchanged, byte for byte");
      } else {
        e2e::CheckCompleteEntry(journal + L"\\" + name, "the killed program's entry");
      }
    }
  }
  if (other.process.hProcess != nullptr) {
    ::CloseHandle(other.process.hThread);
    ::CloseHandle(other.process.hProcess);
  }
  std::printf("%s\n", e2e::Failures() == 0 ? "program end to end: passed" : "program end to end: FAILED");
  return e2e::Failures() == 0 ? 0 : 1;
}
