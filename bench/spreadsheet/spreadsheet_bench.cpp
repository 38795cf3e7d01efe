// How long "SaveAs" takes for the measurement workbook: building the sheet the
// way the export does (every formatting step and cell write), then saving it
// as .xls, including the flush to disk and the rename. Goal: at most 10 ms.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "export/spreadsheet/save.h"
#include "export/spreadsheet/xls/xls_writer.h"
#include "tests/support/sample_workbooks.h"

namespace {

namespace ss = spreadsheet;

std::string TargetPath(const char* extension) {
  return (std::filesystem::temp_directory_path() / ("lumetra-bench-" + std::to_string(::getpid()) + extension))
      .string();
}

void BuildAndSave(benchmark::State& state, const char* extension) {
  const auto grid = ss::testing::FullGrid();
  const std::string path = TargetPath(extension);
  for (auto _ : state) ss::Save(ss::testing::BuildMeasurementWorkbook(grid), path);
  std::filesystem::remove(path);
}

void BuildAndSaveXls(benchmark::State& state) { BuildAndSave(state, ".xls"); }
BENCHMARK(BuildAndSaveXls)->Unit(benchmark::kMillisecond);

// The parts: building the model, and encoding the file in memory.
void BuildWorkbook(benchmark::State& state) {
  const auto grid = ss::testing::FullGrid();
  for (auto _ : state) benchmark::DoNotOptimize(ss::testing::BuildMeasurementWorkbook(grid));
}
BENCHMARK(BuildWorkbook)->Unit(benchmark::kMillisecond);

void EncodeXls(benchmark::State& state) {
  const ss::Workbook workbook = ss::testing::BuildMeasurementWorkbook(ss::testing::FullGrid());
  for (auto _ : state) benchmark::DoNotOptimize(ss::xls::BuildXlsFile(workbook));
}
BENCHMARK(EncodeXls)->Unit(benchmark::kMillisecond);

void BuildAndSaveXlsx(benchmark::State& state) { BuildAndSave(state, ".xlsx"); }
BENCHMARK(BuildAndSaveXlsx)->Unit(benchmark::kMillisecond);

}  // namespace
