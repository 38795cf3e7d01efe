// The statistics window over the main window's grid, on every backend: the
// figures for the end-to-end table, less a time set aside, what a selection
// covers, following a new read, the copied figures, and pictures of the
// window in the tests' output folder (statistics-pictures/).
#include <memory>
#include <string>
#include <vector>

#include "app/adapters/clock_and_locale.h"
#include "app/kit/paint_box.h"
#include "app/kit/button.h"
#include "app/statistics/statistics_form.h"
#include "tests/app/fake_dialogs.h"
#include "tests/app/recording_device.h"
#include "tests/app/support/native_ui.h"
#include "tests/app/window_fixture.h"
#include "tests/support/pixels.h"
#include "tests/support/sample_measurements.h"

namespace {

class StatisticsWindow : public WindowOnSimulatedPlatform {
 protected:
  void SetUp() override {
    stopwatch_ = platform.AddDevice(StopwatchConfig());
    Start();
    form->Show();
  }

  // A read that finds `answers` in the first slots.
  void Read(std::vector<std::vector<BYTE>> answers) {
    AnswerWithReports(stopwatch_, std::move(answers));
    form->Button3->Click();
  }

  // "Статистика…" from the grid's menu, over its cell (col, row).
  TStatisticsForm& Open(int col = 1, int row = 1) {
    TStringGrid& grid = *form->StringGrid1;
    nativeui::ChooseFromContextMenu(grid, grid.CellRect(col, row).Center(), "Статистика…");
    ProcessMessages();
    EXPECT_NE(form->Statistics, nullptr);
    return *form->Statistics;
  }

  std::vector<std::string> Values() const {
    std::vector<std::string> values;
    for (TLabel* value : form->Statistics->FigureValues) values.push_back(value->Text());
    return values;
  }

 private:
  simulated_hid::DeviceId stopwatch_{};
};

TEST_F(StatisticsWindow, ShowsTheFiguresAndPlotsOfTheEndToEndTable) {
  Read(EndToEndAnswers());
  for (int slot = 0; slot < 84; ++slot)
    ASSERT_EQ(Cell(slot % 10 + 1, slot / 10 + 1), e2e::ExpectedCellText(slot, separator)) << "slot " << slot;

  TStatisticsForm& statistics = Open();
  ASSERT_TRUE(statistics.IsVisible());
  EXPECT_EQ(statistics.Caption(), "Статистика");
  EXPECT_EQ(statistics.ClientSize(), (TSize{620, 520}));
  EXPECT_EQ(statistics.ScopeLabel->Text(), "Вся таблица");
  // Python's statistics module gives, for the eleven times the table shows
  // (the date and time of the read and the empty slots left out): mean
  // 10128.821554545455, standard deviation 29954.180960797305, standard
  // error 9031.525377215643, t(0.95, 10) 2.228138851986274 and a random
  // error of 20123.49258567416.
  const std::vector<std::string> expected = {"11",
                                             "0",
                                             Dec("10128.8"),
                                             Dec("0.0001"),
                                             Dec("100000.0"),
                                             Dec("29954.2"),
                                             Dec("9031.53"),
                                             Dec("2.22814"),
                                             Dec("20123.5"),
                                             "10000 ± 20000"};
  EXPECT_EQ(Values(), expected);
  EXPECT_EQ(statistics.FigureNames.front()->Text(), "Число измерений n");
  EXPECT_EQ(statistics.NoteLabel->Text(), "");

  kit::SetClipboardText("");
  statistics.CopyButton->Click();
  std::string copied;
  for (std::size_t i = 0; i < expected.size(); ++i)
    copied += statistics.FigureNames[i]->Text() + "\t" + expected[i] + "\n";
  EXPECT_EQ(kit::ClipboardText(), copied);

  // The plots are drawn: points and the mean in their colours, the bars.
  ProcessMessages();
  const kit::Image times = statistics.TimesPlot->Grab();
  const kit::Image bars = statistics.HistogramPlot->Grab();
  EXPECT_GT(CountPixels(times, times.Rect(), [](TColor c) { return c == clNavy; }), 11 * 5);
  EXPECT_GT(CountPixels(times, times.Rect(), [](TColor c) { return c == clRed; }), 100);
  EXPECT_GT(CountPixels(bars, bars.Rect(), [](TColor c) { return c == RGBColor(0x9C, 0xC3, 0xE6); }), 100);
  SavePicture("statistics-pictures", statistics, "end-to-end-table");

  // The absurd 100000.0 s (slot 8) set aside from the grid's menu: the
  // figures are those of the other ten. Python's statistics module gives
  // mean 1141.70371, standard deviation 3127.2633337882853, standard error
  // 988.9274977902384, t(0.95, 9) 2.2621571627982044 and a random error of
  // 2237.109422614293.
  TStringGrid& grid = *form->StringGrid1;
  grid.SetCurrentCell(9, 1);
  nativeui::ChooseFromContextMenu(grid, grid.CellRect(9, 1).Center(), "Исключить из расчёта");
  ProcessMessages();
  EXPECT_EQ(Values(),
            (std::vector<std::string>{"10", "1", Dec("1141.70"), Dec("0.0001"), Dec("10000.0"), Dec("3127.26"),
                                      Dec("988.927"), Dec("2.26216"), Dec("2237.11"), "1000 ± 2000"}));
  // The time itself stays in the table and in a copy of it.
  EXPECT_EQ(Cell(9, 1), Dec("100000.0"));
  EXPECT_NE(grid.CopyText().find(Dec("100000.0")), std::string::npos);
  SavePicture("statistics-pictures", statistics, "one-time-set-aside");
  SavePicture("statistics-pictures", grid, "grid-with-a-time-set-aside");

  // Taken back: the figures of all eleven again.
  nativeui::ChooseFromContextMenu(grid, grid.CellRect(9, 1).Center(), "Вернуть в расчёт");
  EXPECT_EQ(Values(), expected);
}

TEST_F(StatisticsWindow, CoversTheSelectionWithoutHeadersOrHiddenCellsAndFollowsTheNextRead) {
  Read(EndToEndAnswers());
  TStringGrid& grid = *form->StringGrid1;
  // The header row and column, slots 0 to 4 (slot 4 empty).
  grid.SetSelection({0, 0, 5, 1});
  TStatisticsForm& statistics = Open(2, 1);
  EXPECT_EQ(statistics.ScopeLabel->Text(), "Выделенные ячейки");
  std::vector<std::string> values = Values();
  EXPECT_EQ(values[0], "4");
  EXPECT_EQ(values[4], Dec("100.0000"));

  // Again from the menu: the same window, over the new selection. Slot 83
  // is empty and the rest of the row hidden, a number in it or not.
  const TRect place = statistics.FrameRect();
  grid.SetCell(10, 9, Dec("99999.9"));
  grid.SetSelection({4, 9, 10, 9});
  EXPECT_EQ(&Open(4, 9), &statistics);
  values = Values();
  EXPECT_EQ(values[0], "0");
  EXPECT_EQ(values[2], "—");
  EXPECT_EQ(statistics.NoteLabel->Text(), "Здесь нет измерений.");

  // A single time (slot 3; slot 4 is empty): what it allows, and why the
  // rest is missing.
  grid.SetSelection({4, 1, 5, 1});
  Open(4, 1);
  EXPECT_EQ(Values(), (std::vector<std::string>{"1", "0", Dec("0.000100000"), Dec("0.0001"), Dec("0.0001"), "—", "—",
                                                "—", "—", "—"}));
  EXPECT_EQ(statistics.NoteLabel->Text(), "Разброс по одному измерению не оценить: нужно хотя бы два.");

  // Closed and opened again: where it was.
  ASSERT_TRUE(statistics.Close());
  EXPECT_FALSE(statistics.IsVisible());
  grid.SetSelection({1, 1, 6, 1});
  Open(1, 1);
  EXPECT_TRUE(statistics.IsVisible());
  EXPECT_EQ(statistics.FrameRect(), place);
  EXPECT_EQ(Values()[0], "5");

  // Slot 0 set aside, then a new read: the same cells, their new times
  // (2.0347 s and 2.0500 s), and none set aside any more.
  grid.SetCurrentCell(1, 1);
  nativeui::ChooseFromContextMenu(grid, grid.CellRect(1, 1).Center(), "Исключить из расчёта");
  EXPECT_EQ(Values()[1], "1");
  const std::vector<BYTE> low = stopwatch::EncodeAnswer(20347), high = stopwatch::EncodeAnswer(20500);
  Read({low, high, low, high, low, high});
  values = Values();
  EXPECT_EQ(values[0], "6");
  EXPECT_EQ(values[1], "0");
  EXPECT_EQ(values[2], Dec("2.04235"));
  EXPECT_EQ(values[9], Dec("2.042") + " ± " + Dec("0.009"));
  SavePicture("statistics-pictures", statistics, "selection-after-a-new-read");

  // "Печать…" here prints the lab sheet of the same cells.
  FakeDialogs dialogs;
  kit::ScopedDialogs installed(dialogs);
  statistics.PrintButton->Click();
  ASSERT_EQ(dialogs.printed.size(), 1u);
  const std::unique_ptr<kit::PaintDevice> measure = kit::CreatePageMeasuringDevice(300);
  RecordingDevice page(*measure);
  TCanvas canvas;
  canvas.SetDevice(&page);
  dialogs.printed[0].drawPage(canvas, kit::A4Page(300));
  canvas.SetDevice(nullptr);
  EXPECT_NE(page.Find("Расчёт по выделенным ячейкам (они подкрашены)"), nullptr);
  EXPECT_NE(page.Find("Результат: t = (" + Dec("2.042") + " ± " + Dec("0.009") + ") с, P = 95 %"), nullptr);
}

}  // namespace
