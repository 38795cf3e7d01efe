// Writes a workbook as an Office Open XML (.xlsx) file through libxlsxwriter.
#pragma once

#include <string>

#include "export/spreadsheet/workbook.h"

namespace spreadsheet::xlsx {

// Writes the workbook into the file at `path`, creating or truncating it.
// Raises SpreadsheetError with libxlsxwriter's reason when that fails.
void WriteXlsxFile(const Workbook& workbook, const std::string& path);

}  // namespace spreadsheet::xlsx
