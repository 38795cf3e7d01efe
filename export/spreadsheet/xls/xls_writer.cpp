#include "export/spreadsheet/xls/xls_writer.h"

#include "export/spreadsheet/spreadsheet_error.h"
#include "export/spreadsheet/xls/compound_file.h"
#include "export/spreadsheet/xls/globals_records.h"
#include "export/spreadsheet/xls/record_stream.h"
#include "export/spreadsheet/xls/shared_strings.h"
#include "export/spreadsheet/xls/sheet_records.h"
#include "export/spreadsheet/xls/style_table.h"

namespace spreadsheet::xls {

std::vector<std::uint8_t> BuildWorkbookStream(const Workbook& workbook) {
  if (workbook.WorksheetCount() == 0) throw SpreadsheetError("В книге нет ни одного листа");
  const StyleTable styles(workbook);
  const SharedStrings strings(workbook);
  RecordStream stream;
  const std::vector<std::size_t> sheetPositions = WriteGlobals(stream, workbook, styles, strings);
  for (std::size_t s = 0; s < workbook.WorksheetCount(); ++s) {
    stream.PatchU32(sheetPositions[s], static_cast<std::uint32_t>(stream.Size()));
    WriteSheet(stream, workbook.WorksheetAt(s), styles, strings, s == 0);
  }
  return stream.Data();
}

std::vector<std::uint8_t> BuildXlsFile(const Workbook& workbook) {
  return PackWorkbookStream(BuildWorkbookStream(workbook));
}

}  // namespace spreadsheet::xls
