// The real lumetra.exe end to end under Wine where "Excel.Application" is
// an application out of process, as MS Excel is: the tests' stand-in
// (tests/support/windows/), which the system starts for each instance and
// whose objects cross the process boundary. Driven from outside, on a
// virtual display, with the emulated stopwatch:
//
//   vorda2-emulator --no-manufacturer --times TIMES -- scripts/wine-with-stopwatch
//     --template DISPLAY-PREFIX PREFIX out_of_process_e2e_windows.exe
//     LUMETRA.EXE STAND-IN.EXE TIMES SEPARATOR FOLDER
//
// PREFIX is this test's own: the stand-in is registered there as
// "Excel.Application", with the fault switches each step needs, and logs
// its instances' starts and ends to FOLDER (a Unix path). The first run of
// the program reads the stopwatch and saves "Измерения.xls" into FOLDER
// (read back on the Linux side afterwards, beside "status-line.txt"); it
// saves again while the application dies in the middle of the export, and
// while it fails "SaveAs", each time with the error in the box and the
// file as it was; then once more, through a new instance. The second run
// meets an application busy for its first seconds, at the start and at a
// save: both are waited for, without a box, and the clicks given meanwhile
// are dropped. After each export's "Quit", and after each window closes,
// no stand-in process is left: the program let go of its instance (as MS
// Excel, the stand-in ends only when nobody holds it). Prints the times each step took and the
// calls each instance answered; exit status 0 when every check passed.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/windows/emulator_control.h"
#include "tests/e2e/windows/from_outside.h"
#include "tests/e2e/windows/program_window.h"
#include "tests/support/sample_measurements.h"
#include "tests/support/windows/watched_dispatch.h"

namespace {

using namespace std::chrono_literals;
using e2e::Check;
using e2e::Clock;
using e2e::Report;

constexpr char kInstalled[] = "MS EXCEL установлен";
// The seconds the busy stand-in rejects every call for, from its start.
constexpr int kBusySeconds = 3;

struct Paths {
  std::string standIn;  // Windows paths
  std::wstring folder;
  std::wstring log;
  std::wstring workbook;  // "Измерения.xls"
};

// Runs a program to its end; its exit status, or -1.
int RunToEnd(const std::string& commandLine) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::string line = commandLine;
  if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return -1;
  ::WaitForSingleObject(process.hProcess, 30000);
  DWORD status = 1;
  ::GetExitCodeProcess(process.hProcess, &status);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return static_cast<int>(status);
}

// Registers the stand-in as "Excel.Application" with these switches; the
// instances the system starts from now on get them.
bool Register(const Paths& paths, const std::string& switches) {
  const std::string command = "\"" + paths.standIn + "\" --register --log \"" + outside::Narrow(paths.log) + "\"" +
                              (switches.empty() ? "" : " " + switches);
  return Check(RunToEnd(command) == 0, "registering the stand-in with \"" + switches + "\"");
}

// The stand-in's log, one line a string.
std::vector<std::string> LogLines(const Paths& paths) {
  std::ifstream log{std::filesystem::path(paths.log)};
  std::vector<std::string> lines;
  for (std::string line; std::getline(log, line);) lines.push_back(line);
  return lines;
}

// The process numbers of every stand-in the log says was started.
std::vector<DWORD> StandInsStarted(const Paths& paths) {
  std::vector<DWORD> started;
  for (const std::string& line : LogLines(paths))
    if (line.starts_with("start ")) started.push_back(std::stoul(line.substr(6)));
  return started;
}

bool Running(DWORD pid) {
  HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (process == nullptr) return false;
  const bool running = ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  ::CloseHandle(process);
  return running;
}

// Waits a few seconds for every stand-in started so far to have ended.
bool NoStandInLeft(const Paths& paths, const std::string& when) {
  std::vector<DWORD> left;
  const bool none = outside::WaitFor(
      [&] {
        left.clear();
        for (DWORD pid : StandInsStarted(paths))
          if (Running(pid)) left.push_back(pid);
        return left.empty();
      },
      10s);
  std::string which;
  for (DWORD pid : left) which += " " + std::to_string(pid);
  return Check(none, "no stand-in process is left " + when + " (still running:" + which + ")");
}

// The calls the instances that ended since line `from` of the log answered;
// each of them was told to quit.
void ReportCalls(const Paths& paths, std::size_t from, const std::string& what) {
  const std::vector<std::string> lines = LogLines(paths);
  for (std::size_t i = from; i < lines.size(); ++i) {
    if (!lines[i].starts_with("end ")) continue;
    std::printf("%-48s %s\n", ("stand-in, " + what).c_str(), lines[i].c_str());
    Check(lines[i].ends_with(" quit"), what + ": the instance was told to quit (" + lines[i] + ")");
  }
  std::fflush(stdout);
}

std::string Contents(const std::wstring& path) {
  std::ifstream file{std::filesystem::path(path), std::ios::binary};
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

// The system's text for a code, as the program's error box shows it.
std::string SystemText(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD length =
      ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = length != 0 && buffer != nullptr ? std::wstring(buffer, length) : std::wstring();
  if (buffer != nullptr) ::LocalFree(buffer);
  while (!text.empty() && (text.back() == L'.' || text.back() == L' ' || text.back() < 32)) text.pop_back();
  return outside::Narrow(text) + ".";
}

// The window works on after a box: it takes clicks again.
void WorksOn(const e2e::Window& w, const std::string& after) {
  Check(outside::ClickUntilFocused(w.grid, 20s), "the window takes clicks again after " + after);
}

// The first run: a read and a save, then a save during which the
// application dies, a save it refuses, and a save through a new instance.
void SavesThroughTheApplication(const Paths& paths, const std::string& program) {
  if (!Register(paths, "")) return;
  const auto started = Clock::now();
  e2e::Program lumetra;
  if (!e2e::Start(program, lumetra)) return;
  const DWORD pid = lumetra.Pid();
  e2e::Window w;
  if (Check(e2e::FindWindowOf(lumetra, w, 60s), "the window \"Lumetra\" and its controls")) {
    Report("start to the window", started);
    if (e2e::WaitForLabel(w.label1, kInstalled, true, 20s)) Report("start to Label1 \"MS EXCEL установлен\"", started);
    Check(e2e::BoxUp(pid).empty(), "no box at start: " + e2e::BoxUp(pid));
    e2e::WaitForState(w, "Секундомер подключен", true);

    outside::Click(w.readButton);
    std::string status;
    Check(outside::WaitFor([&] { return (status = outside::Text(w.status)).starts_with("Данные считаны "); }, 30s),
          "status line after the read: \"" + status + "\"");
    std::ofstream(std::filesystem::path(paths.folder + L"\\status-line.txt"), std::ios::binary) << status;
    WorksOn(w, "the read");

    // The start-up instance still runs: the export's comes from its server.
    std::size_t logLine = LogLines(paths).size();
    e2e::Written(w, paths.workbook, {}, e2e::ClickSave(w, paths.workbook, false, "save, its server running"),
                 "save, its server running");
    NoStandInLeft(paths, "after the export's \"Quit\"");
    ReportCalls(paths, logLine, "first save");
    const std::string saved = Contents(paths.workbook);
    const FILETIME savedAt = e2e::LastWritten(paths.workbook);

    // The application dies in the middle of the export: the system's text.
    if (Register(paths, "--die-at Merge")) {
      outside::Click(w.saveButton);
      const std::string box = e2e::AnswerBox(pid, "", IDOK, 30s);
      Check(box == "Lumetro: " + SystemText(HRESULT_FROM_WIN32(RPC_S_CALL_FAILED)),
            "the box when the application died: \"" + box + "\", want the system's \"" +
                SystemText(HRESULT_FROM_WIN32(RPC_S_CALL_FAILED)) + "\"");
      Check(outside::TopLevelWindows(pid, L"#32770").empty(), "no dialog after the application died");
      Check(Contents(paths.workbook) == saved, "the file is left as it was when the application died");
      NoStandInLeft(paths, "after the application died");
      WorksOn(w, "the application died");
    }

    // "SaveAs" refused: its description in the box, the file as it was.
    if (Register(paths, "--fail-save-as")) {
      e2e::ClickSave(w, paths.workbook, true, "refused save");
      const std::string box = e2e::AnswerBox(pid, "", IDOK, 30s);
      Check(box == std::string("Lumetro: ") + stand_in::kSaveAsFailure, "the refused save's box: \"" + box + "\"");
      const FILETIME refusedAt = e2e::LastWritten(paths.workbook);
      Check(Contents(paths.workbook) == saved && ::CompareFileTime(&refusedAt, &savedAt) == 0,
            "the file is left as it was by the refused save");
      NoStandInLeft(paths, "after the refused save");
      WorksOn(w, "the refused save");
    }

    // The save after the refused one, through a new instance again, saves.
    if (Register(paths, "")) {
      logLine = LogLines(paths).size();
      e2e::Written(w, paths.workbook, savedAt, e2e::ClickSave(w, paths.workbook, true, "save, a new server"),
                   "save, a new server");
      NoStandInLeft(paths, "after the last export's \"Quit\"");
      ReportCalls(paths, logLine, "save with a new instance");
    }
  }
  e2e::CloseAndCheckEnded(lumetra, w.form, "the program");
  NoStandInLeft(paths, "after the window closed");
}

// The second run: the application is busy for its first seconds, at the
// start and again at a save (the first save's instance comes from the
// start-up's server, which is no longer busy; the second from a new one).
void WaitsForABusyApplication(const Paths& paths, const std::string& program) {
  if (!Register(paths, "--busy " + std::to_string(kBusySeconds))) return;
  const auto started = Clock::now();
  e2e::Program lumetra;
  if (!e2e::Start(program, lumetra)) return;
  const DWORD pid = lumetra.Pid();
  e2e::Window w;
  if (Check(e2e::FindWindowOf(lumetra, w, 60s), "the window \"Lumetra\" and its controls")) {
    Report("busy application: start to the window", started);
    // The window is up before the application has answered.
    Check(outside::Text(w.label1) == "Label1",
          "Label1 before the application answered: \"" + outside::Text(w.label1) + "\", want its stored text");
    // Clicks while the start-up step waits are dropped, not replayed.
    outside::ClickWithTheMouse(w.readButton);
    if (e2e::WaitForLabel(w.label1, kInstalled, true, 20s))
      Report("busy application: start to Label1 \"MS EXCEL установлен\"", started);
    Check(e2e::BoxUp(pid).empty(), "no box at start: " + e2e::BoxUp(pid));
    e2e::WaitForState(w, "Секундомер подключен", true);
    ::Sleep(500);
    Check(outside::Text(w.status).empty(),
          "the click given during the start-up step was dropped; the status line "
          "reads \"" +
              outside::Text(w.status) + "\"");

    const std::wstring empty = paths.folder + L"\\\u041f\u0443\u0441\u0442\u0430\u044f.xls";  // "Пустая"
    ::DeleteFileW(empty.c_str());
    e2e::Written(w, empty, {}, e2e::ClickSave(w, empty, false, "busy application, first save"),
                 "busy application, first save");
    NoStandInLeft(paths, "after the first export's \"Quit\"");

    const FILETIME before = e2e::LastWritten(empty);
    // A click while the export waits for the application waits with the
    // rest of the window's input; it is dropped.
    const e2e::SaveSteps steps = e2e::ClickSave(w, empty, true, "busy application, new server", [&] {
      ::Sleep(300);
      outside::ClickWithTheMouse(w.readButton);
    });
    e2e::Written(w, empty, before, steps, "busy application, new server");
    ::Sleep(500);
    Check(outside::Text(w.status).empty(),
          "the click given during the busy save was dropped; the status line "
          "reads \"" +
              outside::Text(w.status) + "\"");
    NoStandInLeft(paths, "after the busy export's \"Quit\"");
    // The same click with the window idle reads: the clicks above were given.
    RECT button;
    ::GetWindowRect(w.readButton, &button);
    const POINT middle{(button.left + button.right) / 2, (button.top + button.bottom) / 2};
    HWND const there = ::WindowFromPoint(middle);
    wchar_t thereClass[64] = {};
    ::GetClassNameW(there, thereClass, 64);
    const bool under = there == w.readButton;
    const bool front = ::GetForegroundWindow() == w.form;
    outside::ClickWithTheMouse(w.readButton);
    Check(outside::WaitFor([&] { return outside::Text(w.status).starts_with("Данные считаны "); }, 30s),
          "a click with the mouse on \"Считать данные\" reads, once the window is idle (button under the "
          "pointer's place: " +
              std::to_string(under) + " (" + outside::Narrow(thereClass) + " \"" + outside::Text(there) +
              "\"), window in front: " + std::to_string(front) + ")");
  }
  e2e::CloseAndCheckEnded(lumetra, w.form, "the program");
  NoStandInLeft(paths, "after the window closed");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: %s LUMETRA.EXE STAND-IN.EXE TIMES SEPARATOR FOLDER\n", argv[0]);
    return 2;
  }
  const std::string program = e2e::WinePath(argv[1]);
  Paths paths;
  paths.standIn = e2e::WinePath(argv[2]);
  std::ifstream times(e2e::WinePath(argv[3]));
  if (!times || !e2e::TimesFileMatches(times)) {
    std::fprintf(stderr, "%s: missing, or not the measurements this test expects\n", argv[3]);
    return 2;
  }
  const std::string separator = argv[4];
  wchar_t systemSeparator[8] = {};
  ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, systemSeparator, 8);
  if (!Check(outside::Narrow(systemSeparator) == separator, "the regional settings' decimal separator is \"" +
                                                                outside::Narrow(systemSeparator) + "\", want \"" +
                                                                separator + "\""))
    return 1;
  paths.folder = outside::Wide(e2e::WinePath(argv[5]));
  paths.log = paths.folder + L"\\stand-in.log";
  paths.workbook = paths.folder + L"\\\u0418\u0437\u043c\u0435\u0440\u0435\u043d\u0438\u044f.xls";  // "Измерения"
  ::CreateDirectoryW(paths.folder.c_str(), nullptr);
  for (const std::wstring& file : {paths.log, paths.workbook, paths.folder + L"\\status-line.txt"})
    ::DeleteFileW(file.c_str());

  SavesThroughTheApplication(paths, program);
  WaitsForABusyApplication(paths, program);
  RunToEnd("\"" + paths.standIn + "\" --unregister");

  std::printf("%s\n", e2e::Failures() == 0 ? "out of process end to end: passed" : "out of process end to end: FAILED");
  return e2e::Failures() == 0 ? 0 : 1;
}
