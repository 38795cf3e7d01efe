// "Считать данные" on the window: the simulated stopwatch's 84 times reach
// the grid through the HID layer, a read that fails leaves the table to the
// export as it was, and a silent stopwatch holds the window for one time-out.
#include <algorithm>
#include <utility>

#include "app/adapters/clock_and_locale.h"
#include "app/kit/button.h"
#include "export/automation/com_session.h"
#include "export/automation/spreadsheet_link.h"
#include "stopwatch/read_out.h"
#include "tests/app/fake_dialogs.h"
#include "tests/app/support/native_ui.h"
#include "tests/app/window_fixture.h"
#include "tests/support/fake_automation.h"
#include "tests/support/test_folder.h"

namespace {

using simulated_hid::SimulatedReport;

std::array<std::uint64_t, 84> SampleTimes() {
  std::array<std::uint64_t, 84> times{};
  for (std::size_t i = 0; i < times.size(); ++i) times[i] = 100000 + 10001 * i;  // 10.0000 s to 93.0083 s
  times[7] = 0;                                                                  // an empty slot
  return times;
}

std::string Seconds(std::uint64_t units, const std::string& separator) {
  std::string digits = std::to_string(units);
  while (digits.size() < 5) digits.insert(digits.begin(), '0');
  return digits.substr(0, digits.size() - 4) + separator + digits.substr(digits.size() - 4);
}

TEST_F(WindowOnSimulatedPlatform, ReadFillsEverySlotCellAndStampsTheStatusLine) {
  const auto id = platform.AddDevice(StopwatchConfig());
  Start();
  ASSERT_NE(StopwatchDevice, nullptr);
  const auto times = SampleTimes();
  AnswerWith(id, times);

  form->Button3->Click();

  const std::string separator = app::ClockAndLocale().DecimalSeparator();
  for (int slot = 0; slot < 84; ++slot) {
    const std::string expected = times[slot] == 0 ? "------" : Seconds(times[slot], separator);
    // Every time here is under 100 s: four decimals.
    EXPECT_EQ(Cell(slot % 10 + 1, slot / 10 + 1), expected) << "slot " << slot;
  }
  const auto writes = platform.Writes(id);
  ASSERT_EQ(writes.size(), 84u);
  EXPECT_EQ(writes.front(), (std::vector<BYTE>{0x00, 0xAA}));
  EXPECT_EQ(writes.back(), (std::vector<BYTE>{0x00, 0xFD}));
  const std::string status = form->StaticText1->Text();
  EXPECT_EQ(status, "Данные считаны " + Cell(5, 9) + " в " + Cell(6, 9));
  EXPECT_FALSE(Cell(5, 9).empty());
  EXPECT_FALSE(Cell(6, 9).empty());
}

TEST_F(WindowOnSimulatedPlatform, WithoutStopwatchTheClickChangesNothing) {
  platform.AddDevice(MouseConfig());
  Start();
  form->StringGrid1->SetCell(3, 3, "12,5");
  form->Button3->Click();
  EXPECT_EQ(Cell(3, 3), "12,5");
  EXPECT_EQ(Cell(1, 1), "");
  EXPECT_TRUE(form->StaticText1->Text().empty());
}

TEST_F(WindowOnSimulatedPlatform, SilentStopwatchEndsTheReadWithAMessageAfterOneRequest) {
  const auto id = platform.AddDevice(StopwatchConfig());
  Start();
  ASSERT_NE(StopwatchDevice, nullptr);
  form->Button3->Click();
  EXPECT_EQ(form->StaticText1->Text(), "Секундомер не отвечает");
  EXPECT_EQ(Cell(1, 1), "");
  // One answer is waited for, then the pass ends: not 84 time-outs.
  EXPECT_EQ(platform.Writes(id).size(), 1u);
}

TEST_F(WindowOnSimulatedPlatform, StopwatchUnpluggedBetweenTwoReadsLeavesTheGridAsItWas) {
  const auto id = platform.AddDevice(StopwatchConfig());
  Start();
  AnswerWith(id, SampleTimes());
  form->Button3->Click();
  const std::string slot0 = Cell(1, 1);
  const std::string status = form->StaticText1->Text();

  Unplug(id);
  form->Button3->Click();
  EXPECT_EQ(Cell(1, 1), slot0);
  EXPECT_EQ(form->StaticText1->Text(), status);
}

// Every text of the grid, hidden cells included.
std::vector<std::string> GridTexts(const TStringGrid& grid) {
  std::vector<std::string> texts;
  for (int row = 0; row < grid.RowCount(); ++row) {
    for (int col = 0; col < grid.ColCount(); ++col) texts.push_back(grid.Cell(col, row));
  }
  return texts;
}

TEST_F(WindowOnSimulatedPlatform, AReadThatFailsHalfwayLeavesTheTableAndItsStampToTheExport) {
  automation::testing::FakeAutomationServer server;
  server.Register("Excel.Application");
  automation::ComSession com(automation::SpreadsheetLink());
  const auto id = platform.AddDevice(StopwatchConfig());
  Start();
  AnswerWith(id, SampleTimes());
  form->Button3->Click();
  // The table as an earlier read left it, stamped at a time of its own.
  form->StringGrid1->SetCell(5, 9, "01.01.2000");
  form->StringGrid1->SetCell(6, 9, "00:00:00");
  const std::vector<std::string> before = GridTexts(*form->StringGrid1);

  // The next read: the stopwatch answers 77.75 s for slots 0 to 41, and
  // is unplugged when slot 42 is asked for.
  platform.SetResponder(id, [this, id](const std::vector<BYTE>& request) -> std::optional<SimulatedReport> {
    if (request.size() < 2 || request[1] - 0xAA >= 42) {
      platform.Unplug(id);
      return std::nullopt;
    }
    return SimulatedReport{stopwatch::EncodeAnswer(777500)};
  });
  form->Button3->Click();
  EXPECT_EQ(form->StaticText1->Text(), "Ошибка обмена с секундомером");
  EXPECT_EQ(GridTexts(*form->StringGrid1), before);

  FakeDialogs dialogs;
  kit::ScopedDialogs installed(dialogs);
  spreadsheet::testing::TestFolder folder{"lumetra-app"};
  dialogs.saveAnswer = folder / "after-failed-read.xls";
  server.ClearRecords();
  form->Button2->Click();
  EXPECT_TRUE(dialogs.errors.empty());
  const std::vector<std::string> calls = server.Describe();
  EXPECT_TRUE(std::any_of(calls.begin(), calls.end(), [](const std::string& call) {
    return call.find("\"Данные считаны 01.01.2000 в 00:00:00\"") != std::string::npos;
  })) << "the export names the earlier read";
  EXPECT_TRUE(std::none_of(calls.begin(), calls.end(), [](const std::string& call) {
    return call.find("r8(77.75)") != std::string::npos;
  })) << "no time of the failed read reaches the workbook";
  form.reset();
  automation::SpreadsheetLink().Clear();
}

TEST_F(WindowOnSimulatedPlatform, ClicksQueuedDuringASilentReadStartNoFurtherRead) {
  const auto id = platform.AddDevice(StopwatchConfig());
  Start();
  form->Show();
  ASSERT_NE(StopwatchDevice, nullptr);
  // Four more clicks arrive while the first read waits for its answer.
  TButton* button = form->Button3;
  bool clicked = false;
  platform.SetResponder(id, [button, &clicked](const std::vector<BYTE>&) -> std::optional<SimulatedReport> {
    if (!std::exchange(clicked, true)) nativeui::QueueClicks(*button, 4);
    return std::nullopt;
  });
  form->Button3->Click();
  ProcessMessages();
  EXPECT_EQ(platform.Writes(id).size(), 1u) << "one request: the queued clicks were dropped";
  EXPECT_EQ(form->StaticText1->Text(), "Секундомер не отвечает");
  // Clicks after the read work as ever.
  form->Button3->Click();
  EXPECT_EQ(platform.Writes(id).size(), 2u);
}

}  // namespace
