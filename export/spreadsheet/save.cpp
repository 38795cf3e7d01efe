#include "export/spreadsheet/save.h"

#include "base/atomic_file.h"
#include "export/spreadsheet/classic_numbers.h"
#include "export/spreadsheet/spreadsheet_error.h"
#include "export/spreadsheet/xls/xls_writer.h"
#include "export/spreadsheet/xlsx/xlsx_writer.h"

namespace spreadsheet {

void Save(const Workbook& workbook, const std::string& path, FileFormat format) {
  if (format == FileFormat::Xlsx && !xlsx::Available()) throw SaveError::Naming(path, xlsx::kUnavailableReason);
  const ClassicNumbers classicNumbers;
  // What the system or the writers refuse is the reason the save failed.
  try {
    base::AtomicFile file(path);
    if (format == FileFormat::Xlsx) {
      xlsx::WriteXlsxFile(workbook, file.TemporaryPath());
    } else {
      const std::vector<std::uint8_t> bytes = xls::BuildXlsFile(workbook);
      file.Write(bytes.data(), bytes.size());
    }
    file.Commit();
  } catch (const base::FileError& error) {
    throw SaveError::Naming(path, error.what());
  } catch (const SaveError&) {
    throw;
  } catch (const SpreadsheetError& error) {
    throw SaveError::Naming(path, error.what());
  }
}

}  // namespace spreadsheet
