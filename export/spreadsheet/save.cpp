#include "export/spreadsheet/save.h"

#include <algorithm>
#include <cctype>

#include "export/spreadsheet/atomic_file.h"
#include "export/spreadsheet/classic_numbers.h"
#include "export/spreadsheet/spreadsheet_error.h"
#include "export/spreadsheet/xls/xls_writer.h"
#include "export/spreadsheet/xlsx/xlsx_writer.h"

namespace spreadsheet {

FileFormat FormatForPath(const std::string& path) {
  constexpr std::string_view kXlsx = ".xlsx";
  if (path.size() < kXlsx.size()) return FileFormat::Xls;
  const std::string_view tail = std::string_view(path).substr(path.size() - kXlsx.size());
  const bool isXlsx = std::equal(tail.begin(), tail.end(), kXlsx.begin(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == b;
  });
  return isXlsx ? FileFormat::Xlsx : FileFormat::Xls;
}

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
