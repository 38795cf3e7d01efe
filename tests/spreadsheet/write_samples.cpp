// Writes the sample workbooks that the Python checks read back with
// independent readers: the measurement workbook after a full read, after one
// filled cell and before any read, each as .xls and .xlsx, and a workbook
// that stresses the shared-string table and the palette, as .xls.
#include <cstdio>
#include <filesystem>
#include <string>

#include "export/spreadsheet/save.h"
#include "export/spreadsheet/spreadsheet_error.h"
#include "tests/support/sample_workbooks.h"

namespace ss = spreadsheet;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  std::filesystem::create_directories(folder);
  namespace t = ss::testing;
  try {
    for (const char* extension : {".xls", ".xlsx"}) {
      ss::Save(t::BuildMeasurementWorkbook(t::FullGrid()), folder + "/measurement_full" + extension);
      ss::Save(t::BuildMeasurementWorkbook(t::OneCellGrid()), folder + "/measurement_one" + extension);
      ss::Save(t::BuildMeasurementWorkbook(t::EmptyGrid()), folder + "/measurement_empty" + extension);
    }
    ss::Save(t::BuildStressWorkbook(), folder + "/stress.xls");
  } catch (const ss::SpreadsheetError& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  return 0;
}
