// "SaveAs" of the built-in spreadsheet: writes a workbook to a file, in the
// format the file name asks for.
#pragma once

#include <string>

#include "export/spreadsheet/file_format.h"
#include "export/spreadsheet/workbook.h"

namespace spreadsheet {

// Writes the workbook to `path` (UTF-8) atomically, in `format`: the file
// appears complete or not at all, and an existing file is replaced only by a
// complete new one. A failure raises SaveError with a Russian description
// naming the file and the reason, e.g. "Не удалось сохранить файл
// «/path/x.xls»: Permission denied"; so does a .xlsx in a build that cannot
// write one (xlsx::Available), before anything is written.
void Save(const Workbook& workbook, const std::string& path, FileFormat format);

// The same in the format the name asks for (FormatForPath).
inline void Save(const Workbook& workbook, const std::string& path) { Save(workbook, path, FormatForPath(path)); }

}  // namespace spreadsheet
