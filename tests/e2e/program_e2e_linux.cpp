// Run under vorda2-emulator: starts the main window as the program does, on
// the platform's own HID services, and checks what a user would see: the
// state line turns green, "Считать данные" shows the emulator's 84 times,
// "Сохранить в MS EXCEL" writes a .xls file. Exit code 0 on success.
//
//   program_e2e_linux TIMES-FILE FOLDER
//
// Every read is kept in the journal, found where the desktop says the
// user's documents are: HOME is a fresh folder under FOLDER whose XDG user
// directories name "Документы". The run checks that the first read's entry
// is there, complete, and that a second read adds a file and leaves the
// first byte for byte; then two more programs read in turn, each killed
// with SIGKILL right after its read, and must each leave a complete entry;
// then the first read is put back from the journal window. FOLDER ends up
// holding the workbook of the first read ("Измерения.xls"), the status
// line after it ("status-line.txt") and the workbook saved after the read
// was put back ("Из журнала.xls"), which check_saved_workbook.py reads back.
//
//   program_e2e_linux --read-and-wait TIMES-FILE
//
// One such other program: it reads once, prints "read" and waits to be killed.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "app/adapters/clock_and_locale.h"
#include "app/adapters/device_change_watcher.h"
#include "app/adapters/main_thread_dispatcher.h"
#include "app/form1.h"
#include "app/journal/journal_form.h"
#include "app/kit/backend.h"
#include "app/kit/button.h"
#include "app/kit/dialogs.h"
#include "app/kit/label.h"
#include "app/kit/static_text.h"
#include "app/kit/string_grid.h"
#include "app/startup/startup.h"
#include "export/automation/com_session.h"
#include "export/automation/spreadsheet_link.h"
#include "export/sheetapp/builtin_spreadsheet.h"
#include "hid/main_thread.h"
#include "stopwatch/cell_text.h"
#include "stopwatch/journal/journal_folder.h"
#include "stopwatch/measurement_table.h"
#include "tests/support/sample_measurements.h"
#include "tests/support/test_folder.h"

extern char** environ;

namespace {

int failures = 0;

void Check(bool ok, const std::string& what) {
  if (!ok) {
    ++failures;
    std::fprintf(stderr, "FAILED: %s\n", what.c_str());
  }
}

namespace fs = std::filesystem;
using spreadsheet::testing::ReadWholeFile;

// Answers the save dialog with the path set last; any other box is a failure.
class FakeDialogs final : public kit::Dialogs {
 public:
  explicit FakeDialogs(std::string path) : path_(std::move(path)) {}
  void Answer(std::string path) { path_ = std::move(path); }
  void ShowError(const std::string&, const std::string& text) override { Check(false, "error box: " + text); }
  void ShowInformation(const std::string&, const std::string& text) override { Check(false, "notice: " + text); }
  int Confirm(const std::string&, const std::string& text) override {
    Check(false, "confirmation box: " + text);
    return kit::kIdNo;
  }
  bool SaveFile(kit::SaveFileRequest& request) override {
    request.fileName = path_;
    return true;
  }
  kit::PrintResult Print(const kit::PrintJob&) override {
    Check(false, "print dialog");
    return {kit::PrintOutcome::Cancelled, {}};
  }

 private:
  std::string path_;
};

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done() && std::chrono::steady_clock::now() < end) {
    kit::Application::Instance()->ProcessMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return done();
}

// The journal's files, name by name, and their bytes.
std::map<std::string, std::string> JournalFiles(const fs::path& folder) {
  std::map<std::string, std::string> files;
  std::error_code error;
  for (const auto& file : fs::directory_iterator(folder, error))
    files[file.path().filename().string()] = ReadWholeFile(file.path());
  return files;
}

// A file the journal holds must be a whole entry of the emulator's measurements.
void CheckCompleteEntry(const fs::path& path, const std::string& what) {
  const stopwatch::journal::ListedEntry listed = stopwatch::journal::ReadEntryFile(path.string());
  if (!listed.entry) {
    Check(false, what + " (" + path.filename().string() + ") is no complete entry: " + listed.problem);
    return;
  }
  for (int slot = 0; slot < stopwatch::kSlotCount; ++slot) {
    const std::string decoded = stopwatch::DecodedCellText(listed.entry->answers[static_cast<std::size_t>(slot)], ".");
    Check(decoded == e2e::ExpectedCellText(slot, "."), what + ", slot " + std::to_string(slot) + ": " + decoded);
  }
}

// Another program reading once in turn: started, read, then killed.
void ReadInAnotherProgramAndKillIt(const char* timesFile, int which) {
  int lines[2];
  if (pipe(lines) != 0) return Check(false, "a pipe for program " + std::to_string(which));
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, lines[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, lines[0]);
  posix_spawn_file_actions_addclose(&actions, lines[1]);
  const char* argv[] = {"/proc/self/exe", "--read-and-wait", timesFile, nullptr};
  pid_t pid = -1;
  if (posix_spawn(&pid, "/proc/self/exe", &actions, nullptr, const_cast<char**>(argv), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  close(lines[1]);
  FILE* out = fdopen(lines[0], "r");
  char line[256] = {};
  const bool read = pid > 0 && std::fgets(line, sizeof line, out) != nullptr && std::string(line) == "read\n";
  // At once: no chance to write anything more, nor to tidy up.
  if (pid > 0) kill(pid, SIGKILL);
  int status = 0;
  if (pid > 0) waitpid(pid, &status, 0);
  std::fclose(out);
  Check(read, "program " + std::to_string(which) + " read the stopwatch (it said \"" + line + "\")");
  Check(pid > 0 && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL,
        "program " + std::to_string(which) + " was killed by SIGKILL");
}

// The desktop of the run: a home of its own whose XDG user directories put
// the documents in "Документы".
fs::path PrepareHome(const fs::path& folder) {
  const fs::path home = folder / "home";
  // What an earlier run left.
  for (const char* name : {"Измерения.xls", "Из журнала.xls", "status-line.txt"}) fs::remove(folder / name);
  fs::remove_all(home);
  fs::create_directories(home / ".config");
  std::ofstream(home / ".config" / "user-dirs.dirs") << "# written by the end-to-end test\n"
                                                        "XDG_DOCUMENTS_DIR=\"$HOME/Документы\"\n";
  setenv("HOME", home.c_str(), 1);
  setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
  return home / "Документы" / "Lumetra";
}

}  // namespace

int main(int argc, char* argv[]) {
  const bool other = argc == 3 && std::string(argv[1]) == "--read-and-wait";
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s TIMES-FILE FOLDER\n       %s --read-and-wait TIMES-FILE\n", argv[0], argv[0]);
    return 2;
  }
  const char* timesFile = other ? argv[2] : argv[1];
  std::ifstream in(timesFile);
  if (!in) {
    std::fprintf(stderr, "%s: cannot be read\n", timesFile);
    return 2;
  }
  if (!e2e::TimesFileMatches(in)) {
    std::fprintf(stderr, "%s: not the measurements this test expects\n", timesFile);
    return 2;
  }
  const fs::path folder = other ? fs::path() : fs::path(argv[2]);
  const fs::path journal = other ? fs::path() : PrepareHome(folder);

  // The program's own start-up, up to its window.
  kit::Application application(argc, argv);
  automation::ComSession com(automation::SpreadsheetLink());
  sheetapp::RegisterBuiltInSpreadsheet();
  app::PrepareApplication(application);
  // The desktop finds the program's entry, and its icon, by this name.
  Check(QGuiApplication::desktopFileName() == "ru.lumetra.lumetra",
        "desktop file name " + QGuiApplication::desktopFileName().toStdString());
  app::MainThreadDispatcher dispatcher;
  hid::SetMainThreadDispatcher(&dispatcher);
  app::DeviceChangeWatcher deviceChanges;

  const std::string path = (folder / "Измерения.xls").string();
  FakeDialogs dialogs(path);
  kit::ScopedDialogs installed(dialogs);
  {
    auto form = app::CreateMainWindow();
    form->Show();

    Check(WaitFor([&] { return form->Label2->Text() == "Секундомер подключен"; }, std::chrono::seconds(15)),
          "the stopwatch is detected (Label2 reads \"" + form->Label2->Text() + "\")");
    Check(form->Label2->FontColor() == clGreen, "Label2 is green");

    form->Button3->Click();
    if (other) {
      // Kept, and on the disk, once the status line says so.
      const bool read = form->StaticText1->Text().starts_with("Данные считаны ");
      std::printf("%s\n", read ? "read" : form->StaticText1->Text().c_str());
      std::fflush(stdout);
      for (;;) pause();
    }
    const std::string separator = app::ClockAndLocale().DecimalSeparator();
    for (int slot = 0; slot < stopwatch::kSlotCount; ++slot) {
      const std::string shown = form->StringGrid1->Cell(slot % 10 + 1, slot / 10 + 1);
      const std::string expected = e2e::ExpectedCellText(slot, separator);
      Check(shown == expected,
            "slot " + std::to_string(slot) + " shows \"" + shown + "\", expected \"" + expected + "\"");
    }
    const std::string status = form->StaticText1->Text();
    Check(status.starts_with("Данные считаны "), "status line: " + status);
    std::ofstream(folder / "status-line.txt", std::ios::binary) << status;
    Check(form->StaticText1->Hint().empty(), "no journal problem: " + form->StaticText1->Hint());

    std::map<std::string, std::string> kept = JournalFiles(journal);
    Check(kept.size() == 1,
          "the first read is kept in " + journal.string() + " (" + std::to_string(kept.size()) + " files)");
    if (!kept.empty()) CheckCompleteEntry(journal / kept.begin()->first, "the first read's entry");
    const std::string firstFile = kept.empty() ? std::string() : kept.begin()->first;

    form->Button2->Click();
    std::ifstream saved(path, std::ios::binary);
    std::string head(8, '\0');
    saved.read(head.data(), 8);
    Check(saved && head == "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", "the saved file is a compound-file .xls");

    // A second read adds its own file and leaves the first as it was.
    form->Button3->Click();
    std::map<std::string, std::string> now = JournalFiles(journal);
    Check(now.size() == 2, "the second read adds a file (" + std::to_string(now.size()) + " files)");
    Check(!firstFile.empty() && now[firstFile] == kept[firstFile], "the first entry is unchanged, byte for byte");

    // Two more programs read in turn, each killed right after its read.
    kept = now;
    ReadInAnotherProgramAndKillIt(timesFile, 1);
    ReadInAnotherProgramAndKillIt(timesFile, 2);
    now = JournalFiles(journal);
    Check(now.size() == 4, "each killed program left one entry (" + std::to_string(now.size()) +
                               " files in the folder, temporaries included)");
    for (const auto& [name, bytes] : now) {
      if (kept.count(name)) {
        Check(bytes == kept[name], name + " is unchanged, byte for byte");
      } else {
        CheckCompleteEntry(journal / name, "a killed program's entry");
      }
    }

    // The first read put back from the journal, and saved again.
    form->StringGrid1JournalClick(form->StringGrid1);
    Check(form->Journal != nullptr && form->Journal->IsVisible(), "the journal window opens");
    if (form->Journal != nullptr) {
      Check(form->Journal->Rows().size() == 4, "it lists the four reads");
      Check(form->Journal->Choose(firstFile), "it lists " + firstFile);
      form->Journal->OpenButton->Click();
      const std::string back = form->StaticText1->Text();
      Check(back == "Из журнала: считано " + status.substr(std::string("Данные считаны ").size()),
            "status line after the read is put back: " + back);
      dialogs.Answer((folder / "Из журнала.xls").string());
      form->Button2->Click();
    }
    form->Close();
  }
  hid::SetMainThreadDispatcher(nullptr);
  std::printf("%s\n", failures == 0 ? "end-to-end: 1 passed, 0 failed" : "end-to-end: 0 passed, 1 failed");
  return failures == 0 ? 0 : 1;
}
