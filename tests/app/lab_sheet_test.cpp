// The lab sheet, on every backend: its layout on the kit's page measuring
// device at two printer resolutions, the PDF saved from the grid's menu
// read back by poppler's tools, a failed save, and (with the test's own
// print server, tests/app/with-pdf-printer) the system's print dialog.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/adapters/clock_and_locale.h"
#include "app/excluded_times.h"
#include "app/kit/dialogs.h"
#include "app/lab_sheet/lab_sheet.h"
#include "app/lab_sheet/lab_sheet_output.h"
#include "tests/app/fake_dialogs.h"
#include "tests/app/recording_device.h"
#include "tests/app/support/native_ui.h"
#include "tests/app/window_fixture.h"
#include "tests/support/test_folder.h"

namespace {

using spreadsheet::testing::PathOf;
using spreadsheet::testing::ReadWholeFile;

// The slot whose time is absurd (a missed stop) and is set aside.
constexpr int kBadSlot = 17;

bool Inside(const TRect& inner, const TRect& outer) {
  return inner.Left >= outer.Left && inner.Top >= outer.Top && inner.Right <= outer.Right &&
         inner.Bottom <= outer.Bottom;
}

// A full table: 84 different times about 2 s, and 99.9999 s in kBadSlot.
class LabSheetFromWindow : public WindowOnSimulatedPlatform {
 protected:
  void SetUp() override {
    const auto stopwatch = platform.AddDevice(StopwatchConfig());
    Start();
    form->Show();
    std::array<std::uint64_t, 84> times{};
    for (std::size_t slot = 0; slot < times.size(); ++slot) times[slot] = 20000 + 7 * slot;
    times[kBadSlot] = 999999;
    AnswerWith(stopwatch, times);
    form->Button3->Click();
  }

  // An entry of the grid's menu, opened over cell (col, row), which becomes the current cell.
  void Choose(const std::string& item, int col = 1, int row = 1) {
    TStringGrid& grid = *form->StringGrid1;
    grid.SetCurrentCell(col, row);
    nativeui::ChooseFromContextMenu(grid, grid.CellRect(col, row).Center(), item);
    ProcessMessages();
  }
  void SetAsideTheBadTime() {
    const stopwatch::Cell cell = stopwatch::SlotCell(kBadSlot);
    Choose("Исключить из расчёта", cell.column, cell.row);
  }

  // The sheet as the grid's menu prints it: the whole table.
  app::LabSheet Sheet() const {
    const TStringGrid& grid = *form->StringGrid1;
    return app::MakeLabSheet(grid, form->ExcludedTimes, app::StatisticsBlock(grid), separator);
  }

  // What the sheet's text must hold, one line each, for tests/app/read_lab_sheet.py.
  static void WriteExpectedText(const std::string& path, const app::LabSheet& sheet) {
    std::ofstream out(PathOf(path), std::ios::binary);
    out << "ТАБЛИЦА ИЗМЕРЕНИЙ\n";
    for (int slot = 0; slot < stopwatch::kSlotCount; ++slot) {
      const stopwatch::Cell cell = stopwatch::SlotCell(slot);
      out << sheet.Cell(cell.column, cell.row) << '\n';
    }
    out << sheet.report.figures[0].name << ' ' << sheet.report.figures[0].value << '\n';
    out << app::ResultLine(sheet.report) << '\n';
  }
};

TEST_F(LabSheetFromWindow, LaysOutEveryPartInsideThePrintableAreaAtBothResolutions) {
  SetAsideTheBadTime();
  const app::LabSheet sheet = Sheet();
  ASSERT_EQ(sheet.report.statistics.count, 83);
  ASSERT_EQ(sheet.report.excluded.size(), 1u);

  std::vector<app::LabSheetLayout> layouts;
  for (int dpi : {300, 600}) {
    SCOPED_TRACE(dpi);
    // A printer that cannot print the outer 5 mm of the sheet.
    const kit::Page page = kit::A4Page(dpi, dpi * 5 * 10 / 254);
    const std::unique_ptr<kit::PaintDevice> measure = kit::CreatePageMeasuringDevice(dpi);
    RecordingDevice device(*measure);
    TCanvas canvas;
    canvas.SetDevice(&device);
    const app::LabSheetLayout layout = app::DrawLabSheet(canvas, page, sheet);
    canvas.SetDevice(nullptr);

    for (const RecordingDevice::Text& text : device.texts) EXPECT_TRUE(Inside(text.box, page.printable)) << text.text;
    for (const TRect& fill : device.fills) EXPECT_TRUE(Inside(fill, page.printable));
    for (const RecordingDevice::Line& line : device.lines)
      EXPECT_TRUE(page.printable.Contains(line.from) && page.printable.Contains(line.to));

    // Every time of the table in its own cell; the one set aside grey, with
    // a line through its middle.
    for (int slot = 0; slot < stopwatch::kSlotCount; ++slot) {
      const stopwatch::Cell cell = stopwatch::SlotCell(slot);
      const TRect rect = layout.cells[static_cast<std::size_t>(cell.row) * stopwatch::kGridColumns + cell.column];
      const std::string& time = sheet.Cell(cell.column, cell.row);
      const RecordingDevice::Text* drawn = nullptr;
      for (const RecordingDevice::Text& text : device.texts)
        if (text.text == time && Inside(text.box, rect)) drawn = &text;
      ASSERT_NE(drawn, nullptr) << "slot " << slot << ": " << time;
      EXPECT_EQ(drawn->color == app::kExcludedTimeColor, slot == kBadSlot) << "slot " << slot;
      const TPoint middle = drawn->box.Center();
      const bool struck = std::any_of(device.lines.begin(), device.lines.end(), [&](const auto& line) {
        return line.from.Y == line.to.Y && std::abs(line.from.Y - middle.Y) <= dpi / 50 &&
               line.from.X <= drawn->box.Left && line.to.X >= drawn->box.Right - 1;
      });
      EXPECT_EQ(struck, slot == kBadSlot) << "slot " << slot;
    }

    // The result line, the plots' frames and the lines to fill in, none over another.
    const RecordingDevice::Text* result = device.Find(app::ResultLine(sheet.report));
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->box, layout.resultLine);
    const TRect& lastCell = layout.cells.back();
    std::vector<TRect> parts = {Bounds(layout.content.Left, layout.cells.front().Top, layout.content.Width(),
                                       lastCell.Bottom - layout.cells.front().Top),
                                layout.resultLine, layout.timesPlot, layout.histogram};
    parts.insert(parts.end(), layout.fillIn.begin(), layout.fillIn.end());
    for (std::size_t i = 0; i < parts.size(); ++i) {
      EXPECT_TRUE(Inside(parts[i], page.printable)) << "part " << i;
      for (std::size_t j = i + 1; j < parts.size(); ++j) EXPECT_FALSE(parts[i].Intersects(parts[j])) << i << ", " << j;
    }
    // Plots large enough to read: at least 8 by 6 cm.
    EXPECT_GE(layout.timesPlot.Width(), dpi * 80 / 25);
    EXPECT_GE(layout.timesPlot.Height(), dpi * 60 / 25);
    EXPECT_EQ(layout.histogram.Width(), layout.timesPlot.Width());
    layouts.push_back(layout);
  }
  // Twice the resolution, twice the pixels: the same sheet, within what the
  // texts' rounding to whole pixels moves it (1.5 mm).
  const int tolerance = 600 * 15 / 254;
  for (auto [at300, at600] : {std::pair{layouts[0].timesPlot, layouts[1].timesPlot},
                              {layouts[0].histogram, layouts[1].histogram},
                              {layouts[0].resultLine, layouts[1].resultLine}}) {
    EXPECT_NEAR(2 * at300.Left, at600.Left, tolerance);
    EXPECT_NEAR(2 * at300.Top, at600.Top, tolerance);
    EXPECT_NEAR(2 * at300.Right, at600.Right, tolerance);
    EXPECT_NEAR(2 * at300.Bottom, at600.Bottom, tolerance);
  }
}

TEST_F(LabSheetFromWindow, SavedAsPdfHoldsItsTimesTheCountAndTheResultAsText) {
  FakeDialogs dialogs;
  kit::ScopedDialogs installed(dialogs);
  spreadsheet::testing::TestFolder folder("lab-sheet");
  SetAsideTheBadTime();
  const std::string path = folder / "лабораторная.pdf";
  dialogs.saveAnswer = path;
  Choose("Сохранить в PDF…");
  if (!kit::CanSaveAsPdf()) {
    // Windows without its own PDF printer: it says so and leaves the user to the print dialog.
    ASSERT_EQ(dialogs.notices.size(), 1u);
    EXPECT_EQ(dialogs.notices[0].caption, "Lumetro");
    EXPECT_EQ(dialogs.notices[0].text, app::kNoPdfPrinterNotice);
    ASSERT_EQ(dialogs.printed.size(), 1u);
    EXPECT_EQ(dialogs.printed[0].title, "Таблица измерений " + Cell(5, 9) + " " + Cell(6, 9));
    EXPECT_TRUE(dialogs.saveRequests.empty());
    return;
  }
  ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors[0].text;
  ASSERT_EQ(dialogs.saveRequests.size(), 1u);
  EXPECT_EQ(dialogs.saveRequests[0].filter, "PDF (*.pdf)|*.pdf");
  EXPECT_EQ(dialogs.saveRequests[0].defaultExt, "pdf");
  EXPECT_TRUE(dialogs.saveRequests[0].overwritePrompt);
  const std::string pdf = ReadWholeFile(PathOf(path));
  EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
  EXPECT_LT(pdf.size(), 300u * 1024);

  if (nativeui::CanReadWorkbooksBack()) {
    WriteExpectedText(folder / "expected.txt", Sheet());
    const std::string locale = nativeui::DesktopSpeaksRussian() ? "-ru" : "";
    const std::string command = std::string(LUMETRA_XLRD_PYTHON) + " " + LUMETRA_READ_LAB_SHEET + " '" + path + "' '" +
                                (folder / "expected.txt") + "' lab-sheet-pictures/saved-from-the-grid" + locale +
                                ".png";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
  }

  // A save that cannot replace the file says why and leaves it as it was.
  const auto outcome = spreadsheet::testing::WhileUnreplaceable(PathOf(path), [&] {
    app::SaveLabSheetAsPdf(Sheet(), *form->PdfSaveDialog);
    return dialogs.errors.size() == 1 ? dialogs.errors[0].text : std::string("no error box");
  });
  if (!outcome) GTEST_SKIP() << "no private mount namespace to make a folder read-only in";
  EXPECT_EQ(outcome->rfind("Не удалось сохранить файл «" + path + "»: ", 0), 0u) << *outcome;
  EXPECT_EQ(ReadWholeFile(PathOf(path)), pdf);
}

// The system's print dialog and printing, with the print server of the
// test's own that tests/app/with-pdf-printer starts: its queue is the
// default printer, and what it prints lands in LUMETRA_TEST_PRINTER_OUTPUT.
class LabSheetPrinting : public LabSheetFromWindow {
 protected:
  void SetUp() override {
    const char* output = std::getenv("LUMETRA_TEST_PRINTER_OUTPUT");
    if (output == nullptr) GTEST_SKIP() << "no test printer (tests/app/with-pdf-printer)";
    this->output = output;
    LabSheetFromWindow::SetUp();
  }

  std::string output;
  kit::ScopedDialogs native{kit::NativeDialogs()};
};

TEST_F(LabSheetPrinting, TheDialogOpensAndACancelPrintsNothing) {
  const std::vector<nativeui::SeenBox> seen =
      nativeui::AnswerBoxes([&] { Choose("Печать…"); }, {nativeui::Answer(kit::key::Escape)});
  ASSERT_EQ(seen.size(), 1u);
  // The print dialog, not a box saying why there is none.
  EXPECT_EQ(seen[0].icon, nativeui::BoxIcon::None) << seen[0].text;
  EXPECT_FALSE(seen[0].saveDialog);
  EXPECT_EQ(seen[0].caption, nativeui::DesktopSpeaksRussian() ? "Печать" : "Print");
  // Nothing reaches the printer: the read-back finds the one sheet the next test prints.
}

TEST_F(LabSheetPrinting, PrintsTheSheetOnThePrinterChosen) {
  SetAsideTheBadTime();
  WriteExpectedText(output + "/expected.txt", Sheet());
  if (kit::CanSaveAsPdf()) {
    // What the print must look like, where the print server's filters may
    // turn its text into pictures of glyphs (tests/app/read_lab_sheet.py).
    std::filesystem::create_directories(PathOf(output + "/reference"));
    const auto store = [](const std::string& path, std::string_view bytes) {
      std::ofstream(PathOf(path), std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    };
    ASSERT_EQ(kit::SaveAsPdf(app::LabSheetJob(Sheet()), output + "/reference/sheet.pdf", store).outcome,
              kit::PrintOutcome::Done);
  }
  // Enter: "Print", on the default printer.
  const std::vector<nativeui::SeenBox> seen =
      nativeui::AnswerBoxes([&] { Choose("Печать…"); }, {nativeui::Answer(kit::key::Return)});
  ASSERT_EQ(seen.size(), 1u) << "only the print dialog, no error box";
  EXPECT_EQ(seen[0].icon, nativeui::BoxIcon::None) << seen[0].text;
}

}  // namespace
