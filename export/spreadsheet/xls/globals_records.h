// The workbook globals substream of an Excel 97-2003 workbook: the records
// before the first sheet (identity, window, fonts, formats, palette, XFs,
// the sheet directory and the shared strings).
#pragma once

#include <cstddef>
#include <vector>

#include "export/spreadsheet/workbook.h"
#include "export/spreadsheet/xls/record_stream.h"
#include "export/spreadsheet/xls/shared_strings.h"
#include "export/spreadsheet/xls/style_table.h"

namespace spreadsheet::xls {

// Writes the globals through their EOF. Returns, for each sheet, where its
// BOUNDSHEET keeps the stream position of the sheet's BOF: the caller fills
// those in once the sheets are placed.
std::vector<std::size_t> WriteGlobals(RecordStream& stream, const Workbook& workbook, const StyleTable& styles,
                                      const SharedStrings& strings);

// The BOF record opening a substream: 0x0005 for the globals, 0x0010 for a worksheet.
void WriteBof(RecordStream& stream, std::uint16_t substreamType);

}  // namespace spreadsheet::xls
