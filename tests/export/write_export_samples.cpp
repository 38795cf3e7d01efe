// Exports measurement grids through the built-in spreadsheet application
// into a folder, as .xls and (where the build writes it) .xlsx, for the
// Python checks to read back with an independent reader:
//   measurement_full, measurement_one, measurement_empty  (the same layouts
//       the workbook checks of tests/spreadsheet expect)
//   dashes/measurement_empty  (a grid of "------" only: like an empty one)
//   gaps                      (a full read in which some slots read "------")
#include <cstdio>
#include <filesystem>
#include <string>

#include "export/automation/exceptions.h"
#include "export/measurement_export.h"
#include "export/sheetapp/builtin_spreadsheet.h"
#include "export/spreadsheet/xlsx/xlsx_writer.h"
#include "tests/support/fake_automation.h"
#include "tests/support/fake_export_ports.h"

namespace me = measurement_export;

namespace {

void Export(const me::testing::Grid& grid, const std::string& path) {
  me::testing::FakeExportPorts ports(grid);
  ports.fileName = path;
  me::ExportMeasurements(ports);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
    return 2;
  }
  std::string const folder = argv[1];
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder + "/dashes");
  automation::testing::ScopedComInitialization com;
  sheetapp::RegisterBuiltInSpreadsheet();
  me::testing::Grid gaps = me::testing::FullGrid();
  for (int slot : {0, 9, 41, 83}) gaps[slot % 10 + 1][slot / 10 + 1] = "------";
  try {
    for (const char* extension : {".xls", ".xlsx"}) {
      if (std::string(extension) == ".xlsx" && !spreadsheet::xlsx::Available()) continue;
      Export(me::testing::FullGrid(), folder + "/measurement_full" + extension);
      Export(me::testing::OneCellGrid(), folder + "/measurement_one" + extension);
      Export(me::testing::Grid{}, folder + "/measurement_empty" + extension);
      Export(me::testing::DashesGrid(), folder + "/dashes/measurement_empty" + extension);
      Export(gaps, folder + "/gaps" + extension);
    }
  } catch (const automation::Exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  return 0;
}
