#include "tests/e2e/windows/program_window.h"

#include <knownfolders.h>
#include <shlobj.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "stopwatch/cell_text.h"
#include "stopwatch/journal/journal_folder.h"
#include "tests/e2e/windows/from_outside.h"
#include "tests/support/sample_measurements.h"

namespace e2e {

using namespace std::chrono_literals;

namespace {

int failures = 0;

// The process whose window it is.
DWORD ProcessOf(const Window& w) {
  DWORD process = 0;
  ::GetWindowThreadProcessId(w.form, &process);
  return process;
}

bool Greenish(int r, int g, int b) { return g > r + 60 && g > b + 60; }
bool Bluish(int r, int g, int b) { return b > r + 100 && b > g + 100; }

bool FindControls(Window& w) {
  for (const outside::Child& child : outside::Children(w.form)) {
    if (child.windowClass == L"Static" && (child.text.starts_with("MS EXCEL") || child.text == "Label1"))
      w.label1 = child.hwnd;
    if (child.windowClass == L"Static" && child.text.starts_with("Секундомер")) w.label2 = child.hwnd;
    if (child.windowClass == L"Static" && (child.style & SS_SUNKEN)) w.status = child.hwnd;
    if (child.windowClass == L"Button" && child.text == "Считать данные") w.readButton = child.hwnd;
    if (child.windowClass == L"Button" && child.text == "Сохранить в MS EXCEL") w.saveButton = child.hwnd;
    if (child.windowClass == L"TStringGrid") w.grid = child.hwnd;
  }
  return w.label1 && w.label2 && w.status && w.readButton && w.saveButton && w.grid;
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

std::vector<std::vector<std::string>> Cells(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string>& row = rows.emplace_back();
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
      row.push_back(line.substr(start, tab - start));
    row.push_back(line.substr(start));
  }
  return rows;
}

}  // namespace

bool Check(bool ok, const std::string& what) {
  if (!ok) {
    ++failures;
    std::printf("FAILED: %s\n", what.c_str());
    std::fflush(stdout);
  }
  return ok;
}

int Failures() { return failures; }

void Report(const std::string& step, Clock::time_point since) {
  std::printf("%-48s %6.0f ms\n", step.c_str(),
              std::chrono::duration<double, std::milli>(Clock::now() - since).count());
  std::fflush(stdout);
}

bool Start(const std::string& exe, Program& program) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  std::string commandLine = "\"" + exe + "\"";
  if (::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &program.process))
    return true;
  std::printf("cannot start %s (error %lu)\n", exe.c_str(), ::GetLastError());
  return false;
}

void CloseAndCheckEnded(Program& program, HWND form, const std::string& which) {
  if (form != nullptr) ::PostMessageW(form, WM_CLOSE, 0, 0);
  const bool ended = ::WaitForSingleObject(program.process.hProcess, 20000) == WAIT_OBJECT_0;
  DWORD exitCode = 1;
  ::GetExitCodeProcess(program.process.hProcess, &exitCode);
  if (!ended) ::TerminateProcess(program.process.hProcess, 1);
  Check(ended && exitCode == 0, which + " ends with status 0 once its window is closed (" +
                                    (ended ? std::to_string(exitCode) : std::string("still running")) + ")");
  ::CloseHandle(program.process.hThread);
  ::CloseHandle(program.process.hProcess);
  program.process = {};
}

bool FindWindowOf(const Program& program, Window& w, std::chrono::milliseconds limit) {
  return outside::WaitFor(
      [&] {
        for (HWND form : outside::TopLevelWindows(program.Pid(), L"TForm"))
          if (outside::Text(form) == "Lumetra") w.form = form;
        return w.form != nullptr && FindControls(w);
      },
      limit);
}

bool WaitForLabel(HWND label, const std::string& text, bool green, std::chrono::milliseconds limit) {
  std::string shown;
  int inColour = 0;
  int inOther = 0;
  const bool ok = outside::WaitFor(
      [&] {
        shown = outside::Text(label);
        const outside::Pixels pixels = outside::OnScreen(label);
        inColour = pixels.Count(green ? Greenish : Bluish);
        inOther = pixels.Count(green ? Bluish : Greenish);
        return shown == text && inColour >= 10 && inOther == 0;
      },
      limit);
  return Check(ok, "the label reads \"" + shown + "\" with " + std::to_string(inColour) + " pixels " +
                       (green ? "green" : "blue") + " and " + std::to_string(inOther) + " of the other colour; " +
                       "want \"" + text + "\"");
}

bool WaitForState(const Window& w, const std::string& text, bool green) {
  return WaitForLabel(w.label2, text, green, 20s);
}

std::string BoxUp(DWORD process) {
  for (HWND box : outside::TopLevelWindows(process, L"#32770")) {
    if (::GetDlgItem(box, 0xFFFF) == nullptr) continue;  // not a message box
    return outside::Text(box) + ": " + outside::Text(::GetDlgItem(box, 0xFFFF));
  }
  return {};
}

std::string AnswerBox(DWORD process, const std::string& textStart, int buttonId, std::chrono::milliseconds limit) {
  std::string answered;
  outside::WaitFor(
      [&] {
        for (HWND box : outside::TopLevelWindows(process, L"#32770")) {
          HWND text = ::GetDlgItem(box, 0xFFFF);
          HWND button = ::GetDlgItem(box, buttonId);
          if (text == nullptr || button == nullptr || !outside::Text(text).starts_with(textStart)) continue;
          answered = outside::Text(box) + ": " + outside::Text(text);
          ::PostMessageW(button, BM_CLICK, 0, 0);
          // Gone before anything else is looked at.
          outside::WaitFor([&] { return !::IsWindowVisible(box); }, 10s);
          return true;
        }
        return false;
      },
      limit);
  return answered;
}

HWND WaitForSaveDialog(DWORD process, std::chrono::milliseconds limit) {
  HWND dialog = nullptr;
  outside::WaitFor(
      [&] {
        for (HWND box : outside::TopLevelWindows(process, L"#32770"))
          if (FileNameField(box) != nullptr) dialog = box;
        return dialog != nullptr || !BoxUp(process).empty();
      },
      limit);
  return dialog;
}

bool SaveInDialog(HWND dialog, const std::wstring& path) {
  if (!outside::SetText(FileNameField(dialog), outside::Narrow(path))) return false;
  ::PostMessageW(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
  return true;
}

std::string SaveDialogFileType(HWND dialog) { return outside::Text(::GetDlgItem(dialog, 0x470 /* cmb1 */)); }

FILETIME LastWritten(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return {};
  return data.ftLastWriteTime;
}

SaveSteps ClickSave(const Window& w, const std::wstring& typed, bool exists, const std::string& what,
                    const std::function<void()>& meanwhile) {
  const DWORD pid = ProcessOf(w);
  SaveSteps steps;
  steps.clicked = Clock::now();
  outside::Click(w.saveButton);
  if (meanwhile) meanwhile();
  HWND dialog = WaitForSaveDialog(pid, 30s);
  if (!Check(dialog != nullptr, what + ": the save dialog (" + BoxUp(pid) + ")")) return steps;
  Report(what + ": click to the save dialog", steps.clicked);
  Check(SaveDialogFileType(dialog) == "Таблица (*.xls)",
        what + ": the dialog's file type: \"" + SaveDialogFileType(dialog) + "\"");
  steps.savePressed = Clock::now();
  steps.answered = Check(SaveInDialog(dialog, typed), what + ": typing the file name");
  if (steps.answered && exists)
    Check(!AnswerBox(pid, "Файл с именем:", IDYES, 10s).empty(), what + ": the question before the file is replaced");
  return steps;
}

bool Written(const Window& w, const std::wstring& saved, const FILETIME& before, const SaveSteps& steps,
             const std::string& what) {
  if (!steps.answered) return false;
  const DWORD pid = ProcessOf(w);
  const auto changed = [&] {
    const FILETIME now = LastWritten(saved);
    return ::CompareFileTime(&now, &before) != 0;
  };
  std::string box;
  const bool written = outside::WaitFor(
      [&] {
        box = BoxUp(pid);
        return changed() || !box.empty();
      },
      30s);
  if (!Check(written && box.empty(), what + ": " + outside::Narrow(saved) + " is written (" + box + ")")) return false;
  Report(what + ": Save pressed to the file written", steps.savePressed);
  Report(what + ": click to the file written", steps.clicked);
  return true;
}

std::vector<std::vector<std::string>> CopyTable(const Window& w) {
  const DWORD process = ProcessOf(w);
  // The keys go to the focus of the window in front. The window is brought
  // to the front first: coming to the front it gives the focus back to the
  // control that had it when it last went to the back (the read button, say),
  // so the table is clicked after that. Another program's window may still
  // come to the front as the display reports an earlier activation, so the
  // copy is tried again, and counts only when this program put the text on
  // the clipboard.
  for (int attempt = 0; attempt < 5; ++attempt) {
    ::SetForegroundWindow(w.form);
    if (!outside::WaitFor([&] { return ::GetForegroundWindow() == w.form; }, 5s)) {
      std::printf("copying the table: the window did not come to the front\n");
      continue;
    }
    // The window takes clicks again once a handler has ended.
    if (!outside::ClickUntilFocused(w.grid, 30s)) {
      std::printf("copying the table: the table never took the focus\n");
      continue;
    }
    const DWORD before = outside::ClipboardChanges();
    if (!outside::TypeCtrlC() || !outside::WaitFor([&] { return outside::ClipboardChanges() != before; }, 2s)) {
      std::printf("copying the table: Ctrl+C changed nothing\n");
      continue;
    }
    // The change shows as the program empties the clipboard; it may still
    // hold the clipboard open, putting the text in.
    std::string text;
    outside::WaitFor([&] { return !(text = outside::ClipboardText()).empty(); }, 5s);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(::GetClipboardOwner(), &owner);
    if (owner == process && !text.empty()) return Cells(text);
    std::printf("copying the table: the clipboard holds %zu bytes from process %lu\n", text.size(), owner);
  }
  std::printf("copying the table: Ctrl+C did not put the table on the clipboard\n");
  return {};
}

bool ShowsMeasurements(const std::vector<std::vector<std::string>>& cells, const std::string& separator,
                       std::string& why) {
  why.clear();
  for (int slot = 0; slot < 84; ++slot) {
    const std::size_t row = slot / 10 + 1;
    const std::size_t column = slot % 10 + 1;
    const std::string shown = row < cells.size() && column < cells[row].size() ? cells[row][column] : "?";
    const std::string expected = ExpectedCellText(slot, separator);
    if (shown != expected)
      why += "slot " + std::to_string(slot) + " shows \"" + shown + "\", expected \"" + expected + "\"; ";
  }
  return why.empty();
}

std::wstring JournalFolder() {
  PWSTR documents = nullptr;
  std::wstring folder;
  if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_Documents, KF_FLAG_DONT_VERIFY, nullptr, &documents)))
    folder = std::wstring(documents) + L"\\Lumetra";
  ::CoTaskMemFree(documents);
  return folder;
}

std::map<std::wstring, std::string> JournalFiles(const std::wstring& folder) {
  std::map<std::wstring, std::string> files;
  std::error_code error;
  for (const auto& file : std::filesystem::directory_iterator(folder, error)) {
    std::ifstream in(file.path(), std::ios::binary);
    files[file.path().filename().wstring()] = {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  return files;
}

bool CheckCompleteEntry(const std::wstring& path, const std::string& what) {
  const stopwatch::journal::ListedEntry listed = stopwatch::journal::ReadEntryFile(outside::Narrow(path));
  if (!Check(listed.entry.has_value(),
             what + " (" + outside::Narrow(path) + ") is a complete entry: " + listed.problem))
    return false;
  std::string wrong;
  for (int slot = 0; slot < 84; ++slot) {
    const std::string decoded = stopwatch::DecodedCellText(listed.entry->answers[static_cast<std::size_t>(slot)], ".");
    if (decoded != ExpectedCellText(slot, ".")) wrong += " slot " + std::to_string(slot) + ": " + decoded;
  }
  return Check(wrong.empty(), what + " holds the emulator's measurements:" + wrong);
}

bool OpenFromJournal(const Window& w, int down) {
  const DWORD process = ProcessOf(w);
  const auto keys = [](HWND window, WPARAM key, int times) {
    for (int i = 0; i < times; ++i) {
      ::PostMessageW(window, WM_KEYDOWN, key, 1);
      ::PostMessageW(window, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
    }
  };
  // The right button's release on the table's first measurement asks for
  // the menu; "Журнал…" is its last item.
  const LPARAM cell = MAKELPARAM(127 + 1 + 30, 24 + 1 + 12);
  ::PostMessageW(w.grid, WM_RBUTTONDOWN, MK_RBUTTON, cell);
  ::PostMessageW(w.grid, WM_RBUTTONUP, 0, cell);
  HWND menu = nullptr;
  if (!Check(outside::WaitFor(
                 [&] {
                   for (HWND window : outside::TopLevelWindows(process, L"#32768")) menu = window;
                   return menu != nullptr;
                 },
                 20s),
             "the table's context menu"))
    return false;
  // The first key up highlights the last item. (Wine does not let another
  // process read a menu's items.)
  keys(menu, VK_UP, 1);
  keys(menu, VK_RETURN, 1);

  HWND journal = nullptr, list = nullptr, open = nullptr;
  const bool shown = outside::WaitFor(
      [&] {
        for (HWND form : outside::TopLevelWindows(process, L"TForm"))
          if (outside::Text(form) == "Журнал считываний") journal = form;
        if (journal == nullptr) return false;
        for (const outside::Child& child : outside::Children(journal)) {
          if (child.windowClass == L"TStringGrid") list = child.hwnd;
          if (child.windowClass == L"Button" && child.text == "Открыть") open = child.hwnd;
        }
        return list != nullptr && open != nullptr;
      },
      20s);
  if (!Check(shown, "the journal window \"Журнал считываний\" with its list and \"Открыть\"")) return false;
  keys(list, VK_DOWN, down);
  outside::Click(open);
  // The button's handler ends by dropping the input that came meanwhile,
  // for every window of the program: the list takes a click only after it,
  // and only then may the next step's input be given.
  return Check(outside::ClickUntilFocused(list, 30s), "the journal window takes clicks again after \"Открыть\"");
}

}  // namespace e2e
