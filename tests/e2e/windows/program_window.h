// lumetra.exe as its end-to-end drivers see it from outside: started as a
// process, its window and the controls the user works with found by what
// they show (README, "Windows"), the state line read off the screen, the
// table copied out with Ctrl+C. Checks that fail are counted and printed,
// and the drivers go on, so that one run shows every fault.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace e2e {

using Clock = std::chrono::steady_clock;

// Prints `what` as failed unless `ok`; answers `ok`.
bool Check(bool ok, const std::string& what);
int Failures();
// Prints how long a step took since `since`.
void Report(const std::string& step, Clock::time_point since);

struct Program {
  PROCESS_INFORMATION process{};
  DWORD Pid() const { return process.dwProcessId; }
  DWORD Thread() const { return process.dwThreadId; }  // the user-interface thread
};
// Starts `exe` (a Windows path); false when it cannot be started.
bool Start(const std::string& exe, Program& program);
// Waits up to 20 s for the program to end once its window is closed, and
// checks that it ended with status 0; ends it otherwise.
void CloseAndCheckEnded(Program& program, HWND form, const std::string& which);

struct Window {
  HWND form = nullptr;
  HWND label1 = nullptr;  // who saves: "MS EXCEL ...", or its stored text "Label1"
  HWND label2 = nullptr;  // the stopwatch's state
  HWND status = nullptr;  // the sunken status line
  HWND readButton = nullptr;
  HWND saveButton = nullptr;
  HWND grid = nullptr;
};
// Waits up to `limit` for the program's window "Lumetra" with all of its
// controls.
bool FindWindowOf(const Program& program, Window& window, std::chrono::milliseconds limit);

// Waits until the state line reads `text` drawn in green (or blue), and
// checks it.
bool WaitForState(const Window& window, const std::string& text, bool green);
// The same for any label of the window.
bool WaitForLabel(HWND label, const std::string& text, bool green, std::chrono::milliseconds limit);

// The caption and text of a message box of the process that is up, or "".
std::string BoxUp(DWORD process);
// Waits up to `limit` for a message box whose text starts with
// `textStart`, presses the button `buttonId` (IDOK, IDYES...), waits for
// the box to go, and answers its caption and text; "" when no such box came.
std::string AnswerBox(DWORD process, const std::string& textStart, int buttonId, std::chrono::milliseconds limit);

// The system's save dialog of the process, once it is up (a message box
// coming instead ends the wait); nullptr when none came within `limit`.
HWND WaitForSaveDialog(DWORD process, std::chrono::milliseconds limit);
// Types `path` (a Windows path) into the dialog's name field and presses
// Save; false when the name could not be typed.
bool SaveInDialog(HWND dialog, const std::wstring& path);
// The dialog's file type as it shows it.
std::string SaveDialogFileType(HWND dialog);

// When a file was last written; all zero for a file that is not there.
FILETIME LastWritten(const std::wstring& path);

// A save through the window, as far as the save dialog: whether the dialog
// came and was answered, and when its steps began.
struct SaveSteps {
  bool answered = false;
  Clock::time_point clicked;
  Clock::time_point savePressed;
};
// Clicks "Сохранить в MS EXCEL" (then runs `meanwhile`), waits for the save
// dialog, checks its file type "Таблица (*.xls)", types `typed` and presses
// Save; for a file that `exists`, answers Yes to the question before it is
// replaced. Reports "<what>: click to the save dialog".
SaveSteps ClickSave(const Window& window, const std::wstring& typed, bool exists, const std::string& what,
                    const std::function<void()>& meanwhile = {});
// Waits up to 30 s for `saved` to be written anew (last written at another
// time than `before`) with no box up, and checks it; reports "<what>: Save
// pressed to the file written" and "<what>: click to the file written".
bool Written(const Window& window, const std::wstring& saved, const FILETIME& before, const SaveSteps& steps,
             const std::string& what);

// Brings the window to the front, clicks the table until it has the focus
// (the window takes clicks again once a handler has ended), then types
// Ctrl+C into it: its whole text, one row a line, the cells split at the
// tabs. Empty when the copy failed.
std::vector<std::vector<std::string>> CopyTable(const Window& window);

// Whether a copied table shows the 84 measurements the emulator plays, with
// this decimal separator; `why` says where it does not.
bool ShowsMeasurements(const std::vector<std::vector<std::string>>& cells, const std::string& separator,
                       std::string& why);

// The journal of reads where the program keeps it: "Lumetra" in the user's
// Documents known folder.
std::wstring JournalFolder();
// Its files, name by name, and their bytes.
std::map<std::wstring, std::string> JournalFiles(const std::wstring& folder);
// Checks that the file is a whole entry of the emulator's measurements.
bool CheckCompleteEntry(const std::wstring& path, const std::string& what);

// "Журнал…" from the table's context menu, then in the journal window the
// read `down` rows below the newest one and "Открыть", returning once the
// program takes input again. False, with the check failed, when a window
// or control did not come up or the program did not take input again.
bool OpenFromJournal(const Window& window, int down);

}  // namespace e2e
