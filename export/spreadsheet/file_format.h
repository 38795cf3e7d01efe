// The two file formats the workbook is saved in, and which one a file name
// asks for: what the built-in spreadsheet's "SaveAs" and the export (telling
// MS Excel the format) both decide by.
#pragma once

#include <string>
#include <string_view>

#include "base/ascii_case.h"

namespace spreadsheet {

enum class FileFormat {
  Xls,   // Excel 97-2003 workbook (BIFF8)
  Xlsx,  // Office Open XML workbook
};

// The object model's numbers for these formats ("SaveAs" FileFormat).
namespace xl {
inline constexpr int kExcel8 = 56;
inline constexpr int kOpenXmlWorkbook = 51;
}  // namespace xl

// ".xlsx" in any case of letters gives Xlsx; every other name, ".xls" first
// among them, gives Xls.
inline FileFormat FormatForPath(const std::string& path) {
  constexpr std::string_view kXlsx = ".xlsx";
  if (path.size() < kXlsx.size()) return FileFormat::Xls;
  const std::string_view tail = std::string_view(path).substr(path.size() - kXlsx.size());
  return base::EqualsIgnoringAsciiCase(tail, kXlsx) ? FileFormat::Xlsx : FileFormat::Xls;
}

}  // namespace spreadsheet
