// The journal of reads in the window, on every backend: each finished read
// is kept before the status line says so, the journal window lists the
// reads newest first and follows new ones, "Открыть" puts a read back into
// the table (the statistics with it, and the times set aside on it, which
// its entry keeps), "Открыть папку" asks the desktop to show the folder; a
// journal that cannot be written costs no read and says why, and so does
// an entry that cannot take the times set aside; a file that holds no
// entry is listed as unreadable. Pictures of the window go to journal-pictures/ of the build.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/adapters/clock_and_locale.h"
#include "app/journal/journal_form.h"
#include "app/statistics/statistics_form.h"
#include "stopwatch/journal/journal_folder.h"
#include "tests/app/fake_desktop.h"
#include "tests/app/support/native_ui.h"
#include "tests/app/window_fixture.h"
#include "tests/support/test_folder.h"

namespace {

using spreadsheet::testing::PathOf;
using spreadsheet::testing::TestFolder;
using spreadsheet::testing::Utf8Path;

class JournalWindow : public WindowOnSimulatedPlatform {
 protected:
  void SetUp() override {
    stopwatch_ = platform.AddDevice(StopwatchConfig());
    Start();
    form->Show();
  }

  void Read(std::vector<std::vector<BYTE>> answers) {
    AnswerWithReports(stopwatch_, std::move(answers));
    form->Button3->Click();
  }

  TJournalForm& OpenJournal() {
    TStringGrid& grid = *form->StringGrid1;
    nativeui::ChooseFromContextMenu(grid, grid.CellRect(1, 1).Center(), "Журнал…");
    ProcessMessages();
    EXPECT_NE(form->Journal, nullptr);
    return *form->Journal;
  }

  std::vector<std::string> Row(int row) const {
    std::vector<std::string> texts;
    for (int col = 0; col < form->Journal->EntryGrid->ColCount(); ++col)
      texts.push_back(form->Journal->EntryGrid->Cell(col, row));
    return texts;
  }

  std::vector<std::string> Table() const {
    std::vector<std::string> texts;
    for (int row = 1; row < 10; ++row)
      for (int col = 1; col < 11; ++col) texts.push_back(Cell(col, row));
    return texts;
  }

  TestFolder documents{"lumetra-documents"};
  FakeDesktop desktop{Utf8Path(documents.Path() / PathOf("Мои документы"))};
  kit::ScopedDesktop installed{desktop};
  const std::string folder = Utf8Path(documents.Path() / PathOf("Мои документы") / "Lumetra");

 private:
  simulated_hid::DeviceId stopwatch_{};
};

TEST_F(JournalWindow, KeepsEveryReadListsThemNewestFirstAndPutsOneBack) {
  Read(EndToEndAnswers());
  ASSERT_TRUE(form->StaticText1->Text().starts_with("Данные считаны ")) << form->StaticText1->Text();
  EXPECT_EQ(form->StaticText1->FontColor(), clWindowText);
  EXPECT_EQ(form->StaticText1->Hint(), "");
  const std::vector<std::string> firstTable = Table();
  const std::string firstDate = Cell(5, 9), firstTime = Cell(6, 9);
  std::vector<stopwatch::journal::ListedEntry> kept = stopwatch::journal::ListEntries(folder);
  ASSERT_EQ(kept.size(), 1u);
  ASSERT_TRUE(kept[0].entry) << kept[0].problem;

  TJournalForm& journal = OpenJournal();
  ASSERT_TRUE(journal.IsVisible());
  EXPECT_EQ(journal.Caption(), "Журнал считываний");
  EXPECT_EQ(journal.FolderLabel->Text(), "Папка: " + folder);
  EXPECT_EQ(Row(0), (std::vector<std::string>{"Дата", "Время", "Измерений", "Среднее, с", "Файл"}));
  // The statistics window's figures for the same table: 11 times, mean 10128.8.
  EXPECT_EQ(Row(1), (std::vector<std::string>{firstDate, firstTime, "11", Dec("10128.8"), kept[0].fileName}));

  // A read while the window is open: listed at once, on top.
  const std::vector<BYTE> low = stopwatch::EncodeAnswer(20347), high = stopwatch::EncodeAnswer(20500);
  Read({low, high, low, high});
  ASSERT_EQ(journal.EntryGrid->RowCount(), 3);
  EXPECT_EQ(Row(1)[2], "4");
  EXPECT_EQ(Row(1)[3], Dec("2.04235"));
  EXPECT_EQ(Row(2)[4], kept[0].fileName);
  EXPECT_EQ(journal.EntryGrid->CurrentCell().Y, 2) << "the chosen read stays chosen";
  SavePicture("journal-pictures", journal, "two-reads");

  // The first read back into the table, as it was, and the statistics with it.
  form->StringGrid1->SetSelection({1, 1, 1, 1});
  nativeui::ChooseFromContextMenu(*form->StringGrid1, form->StringGrid1->CellRect(1, 1).Center(), "Статистика…");
  ProcessMessages();
  ASSERT_NE(form->Statistics, nullptr);
  EXPECT_EQ(form->Statistics->FigureValues[0]->Text(), "4");
  // A time set aside belongs to the table it was set aside on, and its
  // entry keeps it: the journal leaves it out of the mean.
  form->StringGrid1ExcludeClick(form->StringGrid1);
  ASSERT_EQ(form->ExcludedTimes.Count(), 1);
  EXPECT_EQ(Row(1)[2], "3 из 4");
  EXPECT_EQ(Row(1)[3], Dec("2.04490"));
  EXPECT_EQ(form->StaticText1->FontColor(), clWindowText);
  SavePicture("journal-pictures", journal, "time-set-aside");
  journal.OpenButton->Click();
  EXPECT_EQ(Table(), firstTable);
  EXPECT_EQ(Cell(5, 9), firstDate);
  EXPECT_EQ(Cell(6, 9), firstTime);
  EXPECT_EQ(form->StaticText1->Text(), "Из журнала: считано " + firstDate + " в " + firstTime);
  EXPECT_TRUE(form->ExcludedTimes.Empty());
  EXPECT_EQ(form->Statistics->FigureValues[0]->Text(), "11");
  EXPECT_EQ(stopwatch::journal::ListEntries(folder).size(), 2u) << "a read put back is not kept again";
  // The second read put back again: its time set aside with it.
  journal.EntryGrid->SetCurrentCell(0, 1);
  journal.OpenButton->Click();
  EXPECT_EQ(form->ExcludedTimes.List(), std::vector<int>{0});
  EXPECT_EQ(form->Statistics->FigureValues[0]->Text(), "3");

  journal.FolderButton->Click();
  EXPECT_EQ(desktop.shownFolders, std::vector<std::string>{folder});

  // Closed and asked for again: the same window.
  ASSERT_TRUE(journal.Close());
  EXPECT_EQ(&OpenJournal(), &journal);
  EXPECT_TRUE(journal.IsVisible());
}

TEST_F(JournalWindow, AJournalThatCannotBeWrittenCostsNoReadAndSaysWhy) {
  // A file where the Documents folder should be.
  std::ofstream(documents.Path() / PathOf("Мои документы")) << "not a folder";
  Read(EndToEndAnswers());
  EXPECT_EQ(Cell(1, 1), Dec("12.3456")) << "the table shows the read";
  EXPECT_TRUE(form->StaticText1->Text().starts_with("Данные считаны ")) << form->StaticText1->Text();
  EXPECT_EQ(form->StaticText1->FontColor(), clMaroon);
  const std::string hint = form->StaticText1->Hint();
  EXPECT_TRUE(hint.starts_with("Не удалось записать журнал в папку «" + folder + "»: ")) << hint;
  EXPECT_NE(hint.find("сохраните её в MS EXCEL"), std::string::npos) << hint;
  SavePicture("journal-pictures", *form, "main-window-journal-not-written");

  // No Documents folder at all.
  desktop.documents.clear();
  Read(EndToEndAnswers());
  EXPECT_NE(form->StaticText1->Hint().find("система не называет папку «Документы»"), std::string::npos)
      << form->StaticText1->Hint();

  // Once the folder can be written, the next read is kept and the warning goes.
  std::filesystem::remove(documents.Path() / PathOf("Мои документы"));
  desktop.documents = Utf8Path(documents.Path() / PathOf("Мои документы"));
  Read(EndToEndAnswers());
  EXPECT_EQ(form->StaticText1->FontColor(), clWindowText);
  EXPECT_EQ(form->StaticText1->Hint(), "");
  ASSERT_EQ(stopwatch::journal::ListEntries(folder).size(), 1u);

  // Its entry gone since: a time set aside stays so in the window, which
  // says that the journal does not have it.
  TJournalForm& journal = OpenJournal();
  std::filesystem::remove(PathOf(journal.Rows()[0].path));
  form->StringGrid1->SetSelection({1, 1, 1, 1});
  form->StringGrid1ExcludeClick(form->StringGrid1);
  EXPECT_EQ(form->ExcludedTimes.Count(), 1);
  EXPECT_TRUE(form->StaticText1->Text().starts_with("Данные считаны ")) << form->StaticText1->Text();
  EXPECT_EQ(form->StaticText1->FontColor(), clMaroon);
  const std::string lost = form->StaticText1->Hint();
  EXPECT_TRUE(lost.starts_with("Не удалось записать исключённые из расчёта времена в журнал, в файл «")) << lost;
  EXPECT_NE(lost.find("»: файла больше нет.\nВ окне они по-прежнему исключены"), std::string::npos) << lost;
  EXPECT_EQ(journal.NoteLabel->Text(), lost);
  EXPECT_TRUE(stopwatch::journal::ListEntries(folder).empty()) << "no entry made again";
}

TEST_F(JournalWindow, AFileThatHoldsNoEntryIsListedAsUnreadableAndNeverReachesTheTable) {
  Read(EndToEndAnswers());
  const std::vector<std::string> table = Table();
  const std::string status = form->StaticText1->Text();
  std::ofstream(PathOf(folder) / PathOf("заметки.txt")) << "Lumetra: журнал считываний\nФормат\t1\n";

  TJournalForm& journal = OpenJournal();
  ASSERT_EQ(journal.EntryGrid->RowCount(), 3);
  EXPECT_EQ(Row(2), (std::vector<std::string>{"не читается", "", "", "", "заметки.txt"}));
  journal.EntryGrid->SetCurrentCell(0, 2);
  EXPECT_EQ(journal.NoteLabel->Text(), "Файл «заметки.txt» не читается: запись оборвана: нет таблицы измерений.");
  SavePicture("journal-pictures", journal, "unreadable-file");
  journal.OpenButton->Click();
  EXPECT_EQ(Table(), table);
  EXPECT_EQ(form->StaticText1->Text(), status);

  // The good entry cut short after it was listed: refused when opened.
  const std::string good = journal.Rows()[0].path;
  const std::string text = spreadsheet::testing::ReadWholeFile(PathOf(good));
  std::ofstream(PathOf(good), std::ios::binary | std::ios::trunc) << text.substr(0, 400);
  journal.EntryGrid->SetCurrentCell(0, 1);
  journal.OpenButton->Click();
  EXPECT_EQ(Table(), table);
  EXPECT_NE(journal.NoteLabel->Text().find("запись оборвана"), std::string::npos) << journal.NoteLabel->Text();
  EXPECT_EQ(Row(1)[0], "не читается") << "listed afresh";
}

}  // namespace
