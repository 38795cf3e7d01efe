// "Сохранить в MS EXCEL" on the window with the built-in spreadsheet
// application: after a read the chosen file is a genuine .xls, an existing
// file is replaced only after a Yes, and failures reach the error box.
#include <charconv>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "app/kit/button.h"
#include "app/kit/save_dialog.h"
#include "export/automation/com_session.h"
#include "export/automation/spreadsheet_link.h"
#include "export/sheetapp/builtin_spreadsheet.h"
#include "tests/app/fake_dialogs.h"
#include "tests/app/support/native_ui.h"
#include "tests/app/window_fixture.h"
#include "tests/support/fake_automation.h"
#include "tests/support/test_folder.h"

namespace {

using spreadsheet::testing::PathOf;
using spreadsheet::testing::ReadWholeFile;

bool IsCompoundFile(const std::string& bytes) {
  return bytes.size() >= 512 && bytes.compare(0, 8, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") == 0;
}

// The number cells of a saved workbook, {(row, column): value}, as an
// independent reader finds them.
std::map<std::pair<int, int>, double> NumbersReadBack(const std::string& path) {
  // The path in single quotes for the shell, any quote in it closed and reopened.
  std::string quoted = "'";
  for (char c : path) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  quoted += "'";
  const std::string command = std::string(LUMETRA_XLRD_PYTHON) + " " + LUMETRA_READ_NUMBERS + " " + quoted;
  FILE* reader = popen(command.c_str(), "r");
  EXPECT_NE(reader, nullptr) << command;
  if (reader == nullptr) return {};
  std::string output;
  char buffer[4096];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, reader)) > 0;) output.append(buffer, got);
  EXPECT_EQ(pclose(reader), 0) << command;
  std::map<std::pair<int, int>, double> numbers;
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    int row = 0;
    int column = 0;
    std::string number;
    if (!(std::istringstream(line) >> row >> column >> number)) continue;
    double value = 0;
    std::from_chars(number.data(), number.data() + number.size(), value);
    numbers[{row, column}] = value;
  }
  return numbers;
}

class ExportFromWindow : public WindowOnSimulatedPlatform {
 protected:
  void SetUp() override { sheetapp::RegisterBuiltInSpreadsheet(); }
  void TearDown() override {
    WindowOnSimulatedPlatform::TearDown();
    automation::SpreadsheetLink().Clear();
    sheetapp::UnregisterBuiltInSpreadsheet();
  }

  // In units of 0.0001 s: 5.0000 s, 5.0007 s, ... all shown with their four decimals.
  static std::uint64_t TimeOfSlot(std::size_t i) { return 50000 + 7 * i; }

  void ReadStopwatch() {
    const auto id = platform.AddDevice(StopwatchConfig());
    Start();
    std::array<std::uint64_t, 84> times{};
    for (std::size_t i = 0; i < times.size(); ++i) times[i] = TimeOfSlot(i);
    AnswerWith(id, times);
    form->Button3->Click();
  }

  automation::ComSession com{automation::SpreadsheetLink()};
  spreadsheet::testing::TestFolder folder{"lumetra-app"};
  FakeDialogs dialogs;
  kit::ScopedDialogs installed{dialogs};
};

// Label1 says who will save: MS Excel (here a fake server registered
// as the system's), the program's own application, or nobody; at start and
// afresh at each export, in a text that ends well before the buttons.
TEST_F(ExportFromWindow, Label1SaysWhoSavesAtStartAndAtEachExport) {
  auto expectLabel1 = [&](const std::string& text, TColor colour) {
    EXPECT_EQ(form->Label1->Text(), text);
    EXPECT_EQ(form->Label1->FontColor(), colour);
    EXPECT_LE(form->Label1->BoundsRect().Right + 24, form->Button2->BoundsRect().Left) << text;
  };
  Start();
  expectLabel1("MS EXCEL нет, сохранит программа", clGreen);
  const std::string path = folder / "t.xls";
  dialogs.saveAnswer = path;
  {
    // Installed while the program runs: the next export is MS Excel's.
    automation::testing::FakeAutomationServer excel;
    excel.Register("Excel.Application");
    form->Button2->Click();
    EXPECT_EQ(excel.InstancesCreated(), 1);
    expectLabel1("MS EXCEL установлен", clGreen);
    EXPECT_FALSE(std::filesystem::exists(PathOf(path))) << "the built-in application saved instead";
    CloseWindow();
    Start();
    expectLabel1("MS EXCEL установлен", clGreen);
  }
  form->Button2->Click();
  expectLabel1("MS EXCEL нет, сохранит программа", clGreen);
  EXPECT_TRUE(IsCompoundFile(ReadWholeFile(PathOf(path))));

  sheetapp::UnregisterBuiltInSpreadsheet();
  const std::size_t dialogsShown = dialogs.saveRequests.size();
  form->Button2->Click();
  expectLabel1("MS EXCEL не установлен", clBlue);
  EXPECT_EQ(dialogs.saveRequests.size(), dialogsShown);
}

TEST_F(ExportFromWindow, SaveAfterAReadWritesAGenuineXlsAndKeepsThePath) {
  ReadStopwatch();
  const std::string path = folder / "измерения.xls";
  dialogs.saveAnswer = path;
  form->Button2->Click();

  EXPECT_TRUE(dialogs.errors.empty());
  EXPECT_TRUE(dialogs.confirms.empty());
  ASSERT_EQ(dialogs.saveRequests.size(), 1u);
  EXPECT_EQ(dialogs.saveRequests[0].defaultExt, "xls");
  EXPECT_EQ(dialogs.saveRequests[0].filter, "Таблица (*.xls)|*.xls");
  EXPECT_TRUE(IsCompoundFile(ReadWholeFile(PathOf(path))));
  // The path is offered again at the next export.
  EXPECT_EQ(form->SaveDialog1->FileName(), path);
  EXPECT_EQ(form->Label1->Text(), "MS EXCEL нет, сохранит программа");
}

// The program's application object sets the C library's locale from the
// environment; on a Russian desktop that makes the decimal separator a comma.
// Neither file format may take it up: both hold the exact values.
TEST_F(ExportFromWindow, OnARussianDesktopBothFormatsHoldTheExactValues) {
  if (!nativeui::CanReadWorkbooksBack()) GTEST_SKIP() << "no reader of saved workbooks in this test run";
  const std::string before = std::setlocale(LC_ALL, nullptr);
  ASSERT_NE(std::setlocale(LC_ALL, "ru_RU.UTF-8"), nullptr) << "scripts/install-deps generates ru_RU.UTF-8";
  ReadStopwatch();
  for (const char* name : {"измерения.xls", "измерения.xlsx"}) {
    dialogs.saveAnswer = folder / name;
    form->Button2->Click();
    ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors[0].text;
    const auto numbers = NumbersReadBack(folder / name);
    EXPECT_EQ(numbers.size(), 84u) << name;
    for (std::size_t slot = 0; slot < 84; ++slot) {
      const std::pair<int, int> cell{int(slot / 10) + 3, int(slot % 10) + 2};
      EXPECT_DOUBLE_EQ(numbers.count(cell) ? numbers.at(cell) : -1.0, double(TimeOfSlot(slot)) / 10000.0)
          << name << " slot " << slot;
    }
  }
  std::setlocale(LC_ALL, before.c_str());
}

TEST_F(ExportFromWindow, ExistingFileIsReplacedOnlyAfterYes) {
  ReadStopwatch();
  const std::string path = folder / "old.xls";
  std::ofstream(PathOf(path)) << "keep me";
  dialogs.saveAnswer = path;
  dialogs.confirmAnswer = kit::kIdNo;
  form->Button2->Click();
  ASSERT_EQ(dialogs.confirms.size(), 1u);
  EXPECT_EQ(dialogs.confirms[0].caption, "Confirm");
  EXPECT_EQ(dialogs.confirms[0].text, "Файл с именем:\n\"" + path + "\"\nУже существует. Перезаписать?");
  EXPECT_EQ(ReadWholeFile(PathOf(path)), "keep me");

  dialogs.confirmAnswer = kit::kIdYes;
  form->Button2->Click();
  EXPECT_TRUE(IsCompoundFile(ReadWholeFile(PathOf(path))));
  EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(ExportFromWindow, FailingSaveShowsTheReasonAndDamagesNothing) {
  ReadStopwatch();
  // A folder where the file should go: the save cannot replace it.
  const std::string path = folder / "taken.xls";
  ASSERT_TRUE(std::filesystem::create_directory(PathOf(path)));
  dialogs.saveAnswer = path;
  form->Button2->Click();
  ASSERT_EQ(dialogs.errors.size(), 1u);
  EXPECT_EQ(dialogs.errors[0].caption, "Lumetro");
  EXPECT_NE(dialogs.errors[0].text.find(path), std::string::npos) << dialogs.errors[0].text;
  EXPECT_TRUE(std::filesystem::is_directory(PathOf(path)));
  // The window works on: a second export to a good path succeeds.
  const std::string good = folder / "good.xls";
  dialogs.saveAnswer = good;
  form->Button2->Click();
  EXPECT_TRUE(IsCompoundFile(ReadWholeFile(PathOf(good))));
}

TEST_F(ExportFromWindow, CellThatIsNotANumberReachesTheErrorBox) {
  ReadStopwatch();
  form->StringGrid1->SetCell(2, 2, "12,3x");
  dialogs.saveAnswer = folder / "never.xls";
  form->Button2->Click();
  ASSERT_EQ(dialogs.errors.size(), 1u);
  EXPECT_EQ(dialogs.errors[0].text, "'12,3x' is not a valid floating point value.");
  EXPECT_TRUE(dialogs.saveRequests.empty());
}

TEST_F(ExportFromWindow, ApplicationThatCannotStartIsReportedAndLabel1KeepsItsText) {
  automation::testing::FakeAutomationServer excel;
  excel.Register("Excel.Application");
  excel.FailCreation(E_OUTOFMEMORY);
  Start();
  ASSERT_EQ(dialogs.errors.size(), 1u);
  EXPECT_EQ(dialogs.errors[0].caption, "Lumetro");
  EXPECT_FALSE(dialogs.errors[0].text.empty());
  EXPECT_EQ(form->Label1->Text(), "Label1");
  // The window opened normally: the grid is labelled.
  EXPECT_EQ(Cell(0, 0), " № измерения");
  // Closing still works; the empty link's errors are dropped.
  EXPECT_TRUE(form->Close());
  EXPECT_EQ(dialogs.errors.size(), 1u);
}

TEST_F(ExportFromWindow, ClosingAsksForExistsAndDropsTheUnknownName) {
  Start();
  ASSERT_EQ(form->Label1->Text(), "MS EXCEL нет, сохранит программа");
  EXPECT_TRUE(form->Close());
  EXPECT_TRUE(dialogs.errors.empty());
  // The application has no "Exists", so "Quit" is not sent: the instance
  // still answers, and goes away when the link lets go of it at the end.
  EXPECT_NO_THROW(automation::SpreadsheetLink().Call("WorkBooks"));
}

}  // namespace
