// The compound-file container (OLE2 structured storage) that an Excel
// 97-2003 workbook lives in: a root storage holding the "Workbook" stream.
// The BIFF8 records are the same everywhere; the container is built by the
// platform's own storage where it has one (windows/), by libgsf elsewhere
// (posix/).
#pragma once

#include <cstdint>
#include <vector>

namespace spreadsheet::xls {

// The class identifier Excel gives the root storage of its workbooks,
// {00020820-0000-0000-C000-000000000046}, in its on-disk byte order.
inline constexpr std::uint8_t kExcelWorkbookClassId[16] = {0x20, 0x08, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                                           0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

// The bytes of a compound file whose only stream is "Workbook" with the given
// content, in the root storage marked with kExcelWorkbookClassId. Raises
// SpreadsheetError if the container cannot be built.
std::vector<std::uint8_t> PackWorkbookStream(const std::vector<std::uint8_t>& workbookStream);

}  // namespace spreadsheet::xls
