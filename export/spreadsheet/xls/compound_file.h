// The compound-file container (OLE2 structured storage) that an Excel
// 97-2003 workbook lives in: a root storage holding the "Workbook" stream.
#pragma once

#include <cstdint>
#include <vector>

namespace spreadsheet::xls {

// The bytes of a compound file whose only stream is "Workbook" with the given
// content. Raises SpreadsheetError if the container cannot be built.
std::vector<std::uint8_t> PackWorkbookStream(const std::vector<std::uint8_t>& workbookStream);

}  // namespace spreadsheet::xls
