// Run under vorda2-emulator: starts the main window as the program does, on
// the platform's own HID services, and checks what a user would see: the
// state line turns green, "Считать данные" shows the emulator's 84 times,
// "Сохранить в MS EXCEL" writes a .xls file. Exit code 0 on success.
#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "app/adapters/clock_and_locale.h"
#include "app/adapters/device_change_watcher.h"
#include "app/adapters/main_thread_dispatcher.h"
#include "app/form1.h"
#include "app/kit/application.h"
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
#include "stopwatch/measurement_table.h"
#include "tests/support/sample_measurements.h"
#include "tests/support/test_folder.h"

namespace {

int failures = 0;

void Check(bool ok, const std::string& what) {
  if (!ok) {
    ++failures;
    std::fprintf(stderr, "FAILED: %s\n", what.c_str());
  }
}

// Answers the save dialog with a fixed path; any other box is a failure.
class FakeDialogs final : public kit::Dialogs {
 public:
  explicit FakeDialogs(std::string path) : path_(std::move(path)) {}
  void showError(const std::string&, const std::string& text) override { Check(false, "error box: " + text); }
  void showInformation(const std::string&, const std::string& text) override { Check(false, "notice: " + text); }
  int confirm(const std::string&, const std::string& text) override {
    Check(false, "confirmation box: " + text);
    return kit::kIdNo;
  }
  bool saveFile(kit::SaveFileRequest& request) override {
    request.fileName = path_;
    return true;
  }
  kit::PrintResult print(const kit::PrintJob&) override {
    Check(false, "print dialog");
    return {kit::PrintOutcome::Cancelled, {}};
  }

 private:
  std::string path_;
};

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done() && std::chrono::steady_clock::now() < end) {
    kit::Application::instance()->processMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return done();
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s TIMES-FILE\n", argv[0]);
    return 2;
  }
  std::ifstream in(argv[1]);
  if (!in) {
    std::fprintf(stderr, "%s: cannot be read\n", argv[1]);
    return 2;
  }
  if (!e2e::TimesFileMatches(in)) {
    std::fprintf(stderr, "%s: not the measurements this test expects\n", argv[1]);
    return 2;
  }

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

  spreadsheet::testing::TestFolder folder{"lumetra-app"};
  const std::string path = folder / "measurements.xls";
  FakeDialogs dialogs(path);
  kit::ScopedDialogs installed(dialogs);
  {
    auto form = app::CreateMainWindow();
    form->show();

    Check(WaitFor([&] { return form->Label2->text() == "Секундомер подключен"; }, std::chrono::seconds(15)),
          "the stopwatch is detected (Label2 reads \"" + form->Label2->text() + "\")");
    Check(form->Label2->fontColor() == clGreen, "Label2 is green");

    form->Button3->click();
    const std::string separator = app::ClockAndLocale().DecimalSeparator();
    for (int slot = 0; slot < stopwatch::kSlotCount; ++slot) {
      const std::string shown = form->StringGrid1->cell(slot % 10 + 1, slot / 10 + 1);
      const std::string expected = e2e::ExpectedCellText(slot, separator);
      Check(shown == expected, "slot " + std::to_string(slot) + " shows \"" + shown + "\", expected \"" + expected + "\"");
    }
    Check(form->StaticText1->text().starts_with("Данные считаны "), "status line: " + form->StaticText1->text());

    form->Button2->click();
    std::ifstream saved(path, std::ios::binary);
    std::string head(8, '\0');
    saved.read(head.data(), 8);
    Check(saved && head == "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", "the saved file is a compound-file .xls");
    form->close();
  }
  hid::SetMainThreadDispatcher(nullptr);
  std::printf("%s\n", failures == 0 ? "end-to-end: 1 passed, 0 failed" : "end-to-end: 0 passed, 1 failed");
  return failures == 0 ? 0 : 1;
}
