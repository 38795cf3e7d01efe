// Writes a workbook as an Excel 97-2003 file (BIFF8 records in a compound file).
#pragma once

#include <cstdint>
#include <vector>

#include "export/spreadsheet/workbook.h"

namespace spreadsheet::xls {

// The "Workbook" stream: the globals, then each sheet.
std::vector<std::uint8_t> BuildWorkbookStream(const Workbook& workbook);

// The whole .xls file. Raises SpreadsheetError for a workbook without sheets
// or one the format cannot hold.
std::vector<std::uint8_t> BuildXlsFile(const Workbook& workbook);

}  // namespace spreadsheet::xls
