// The .xlsx writer of a build without libxlsxwriter.
#include "export/spreadsheet/spreadsheet_error.h"
#include "export/spreadsheet/xlsx/xlsx_writer.h"

namespace spreadsheet::xlsx {

bool Available() { return false; }

void WriteXlsxFile(const Workbook&, const std::string&) { throw SpreadsheetError(kUnavailableReason); }

}  // namespace spreadsheet::xlsx
