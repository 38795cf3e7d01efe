// The lab sheet of a full read (84 times, one set aside): drawn on the
// page measuring device at 600 dpi, as a printer's page is, and written as
// a PDF file in memory, as "Сохранить в PDF…" makes it before it reaches
// the disk. Goals: under 200 ms each, the PDF under 300 KB.
//
// Counter of BM_WritePdf: "bytes", the PDF's size. Run without a display:
// the Qt backend draws offscreen.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "app/kit/backend.h"
#include "app/kit/printing.h"
#include "app/lab_sheet/lab_sheet.h"
#include "app/startup/startup.h"
#include "stopwatch/measurement_table.h"
#include "tests/support/measurement_grids.h"

namespace {

app::LabSheet FullSheet() {
  const auto grid = measurement_export::testing::FullGrid(",");
  app::LabSheet sheet;
  for (int row = 0; row < stopwatch::kGridRows; ++row)
    for (int col = 0; col < stopwatch::kGridColumns; ++col) {
      std::string text = grid[col][row];
      // The header labels as the window writes them.
      if (row == 0 && col > 1) text = "  +" + std::to_string(col - 1);
      if (col == 0 && row > 0) text = "     " + std::to_string(row - 1) + "0";
      sheet.cells.push_back(text);
    }
  sheet.cells[0] = " № измерения";
  sheet.readDate = measurement_export::testing::kReadDate;
  sheet.readTime = measurement_export::testing::kReadTime;
  sheet.separator = ",";
  sheet.block = {0, 0, stopwatch::kGridColumns - 1, stopwatch::kGridRows - 1};
  sheet.excluded.Exclude(17);
  std::vector<app::SlotTime> times;
  for (int slot = 0; slot < stopwatch::kSlotCount; ++slot)
    times.push_back(
        {slot, measurement_export::testing::SlotValue(slot), measurement_export::testing::SlotText(slot, ",")});
  sheet.report = app::MakeStatisticsReport(times, ",", sheet.excluded);
  return sheet;
}

void BM_DrawSheet(benchmark::State& state) {
  const app::LabSheet sheet = FullSheet();
  const kit::Page page = kit::A4Page(600);
  const std::unique_ptr<kit::PaintDevice> device = kit::CreatePageMeasuringDevice(page.dpi);
  for (auto _ : state) {
    TCanvas canvas;
    canvas.SetDevice(device.get());
    benchmark::DoNotOptimize(app::DrawLabSheet(canvas, page, sheet));
    canvas.SetDevice(nullptr);
  }
}
BENCHMARK(BM_DrawSheet)->Unit(benchmark::kMillisecond);

void BM_WritePdf(benchmark::State& state) {
  const kit::PrintJob job = app::LabSheetJob(FullSheet());
  std::size_t size = 0;
  const kit::StoreFile keepSize = [&](const std::string&, std::string_view bytes) { size = bytes.size(); };
  for (auto _ : state) {
    if (kit::SaveAsPdf(job, "sheet.pdf", keepSize).outcome != kit::PrintOutcome::Done)
      state.SkipWithError("no PDF made");
  }
  state.counters["bytes"] = static_cast<double>(size);
}
BENCHMARK(BM_WritePdf)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  kit::Application application(argc, argv);
  app::PrepareApplication(application);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
