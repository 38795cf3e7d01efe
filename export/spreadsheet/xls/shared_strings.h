// The shared string table (SST) of an Excel 97-2003 workbook and its index
// (EXTSST): every distinct cell text once, cells refer to it by position.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "export/spreadsheet/workbook.h"
#include "export/spreadsheet/xls/record_stream.h"

namespace spreadsheet::xls {

class SharedStrings {
 public:
  explicit SharedStrings(const Workbook& workbook);

  // Position of a text of the workbook in the table.
  std::uint32_t IndexOf(const std::string& text) const { return index_.at(text); }
  std::uint32_t TotalCount() const { return total_; }
  std::size_t UniqueCount() const { return strings_.size(); }

  // Writes SST, as many CONTINUE records as the texts need, and EXTSST.
  void Write(RecordStream& stream) const;

 private:
  std::vector<std::u16string> strings_;
  std::unordered_map<std::string, std::uint32_t> index_;
  std::uint32_t total_ = 0;
};

}  // namespace spreadsheet::xls
