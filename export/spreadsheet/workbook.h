// A workbook: an ordered list of worksheets with unique names.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

#include "export/spreadsheet/worksheet.h"

namespace spreadsheet {

// The name a new sheet gets when none is given, followed by its number.
inline constexpr const char* kDefaultSheetNamePrefix = "Лист";

class Workbook {
 public:
  // Appends a sheet named "Лист1", "Лист2", ... (the first such name not yet taken).
  Worksheet& AddWorksheet();
  // Appends a sheet with the given name: 1..31 characters, none of : \ / ? * [ ],
  // not starting or ending with an apostrophe, unlike every other sheet's name
  // ignoring case. A bad name raises SpreadsheetError.
  Worksheet& AddWorksheet(std::string_view name);

  std::size_t WorksheetCount() const { return sheets_.size(); }
  // Counted from 0; raises SpreadsheetError past the last sheet.
  Worksheet& WorksheetAt(std::size_t index);
  const Worksheet& WorksheetAt(std::size_t index) const;

 private:
  std::deque<Worksheet> sheets_;  // a deque keeps references to sheets valid as sheets are added
};

}  // namespace spreadsheet
