#include "export/spreadsheet/save.h"

#include "export/spreadsheet/atomic_file.h"
#include "export/spreadsheet/classic_numbers.h"
#include "export/spreadsheet/spreadsheet_error.h"
#include "export/spreadsheet/xls/xls_writer.h"
#include "export/spreadsheet/xlsx/xlsx_writer.h"

namespace spreadsheet {

void Save(const Workbook& workbook, const std::string& path, FileFormat format) {
  if (format == FileFormat::Xlsx && !xlsx::Available()) throw SaveError::Naming(path, xlsx::kUnavailableReason);
  const ClassicNumbers classicNumbers;
  AtomicFile file(path);
  // What the writers refuse is the reason the save failed.
  try {
    if (format == FileFormat::Xlsx) {
      xlsx::WriteXlsxFile(workbook, file.TemporaryPath());
    } else {
      const std::vector<std::uint8_t> bytes = xls::BuildXlsFile(workbook);
      file.Write(bytes.data(), bytes.size());
    }
  } catch (const SaveError&) {
    throw;
  } catch (const SpreadsheetError& error) {
    file.Fail(error.what());
  }
  file.Commit();
}

}  // namespace spreadsheet
