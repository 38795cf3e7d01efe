// The substream of one worksheet: settings, page setup, column widths,
// dimensions, rows and cells, window, merged areas.
#pragma once

#include "export/spreadsheet/worksheet.h"
#include "export/spreadsheet/xls/record_stream.h"
#include "export/spreadsheet/xls/shared_strings.h"
#include "export/spreadsheet/xls/style_table.h"

namespace spreadsheet::xls {

// Writes the sheet from its BOF through its EOF. `active` marks the sheet the
// workbook opens on.
void WriteSheet(RecordStream& stream, const Worksheet& sheet, const StyleTable& styles, const SharedStrings& strings,
                bool active);

// A column width in characters as the file stores it: 1/256 of the default
// font's digit width, including the 5-pixel cell padding.
std::uint16_t ColumnWidthUnits(double characters);

}  // namespace spreadsheet::xls
