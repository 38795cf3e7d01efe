// Writes a workbook as an Office Open XML (.xlsx) file through libxlsxwriter,
// in a build that has it (xlsx_writer.cpp); a build without it has
// xlsx_unavailable.cpp instead, which refuses with kUnavailableReason.
#pragma once

#include <string>

#include "export/spreadsheet/workbook.h"

namespace spreadsheet::xlsx {

// Whether this build writes .xlsx files at all.
bool Available();

// Why a build without libxlsxwriter refuses to write one.
inline constexpr char kUnavailableReason[] =
    "эта сборка программы не записывает книги .xlsx (Office Open XML): она собрана без libxlsxwriter; "
    "сохраните таблицу в формате .xls";

// Writes the workbook into the file at `path`, creating or truncating it.
// Raises SpreadsheetError with libxlsxwriter's reason when that fails, or
// with kUnavailableReason where the build has no libxlsxwriter.
void WriteXlsxFile(const Workbook& workbook, const std::string& path);

}  // namespace spreadsheet::xlsx
