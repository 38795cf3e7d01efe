// A worksheet and its page setup.
//
//   Worksheet  "PageSetup"; "Range" (an A1-style address); "Cells" (row and
//              column), which, written with its arguments and a value, sets
//              that cell's Value; "Columns" and "Rows" (column or row n)
//   PageSetup  "Orientation" (written: 1 portrait, 2 landscape)
#pragma once

#include <cstddef>
#include <memory>

#include "export/sheetapp/dispatch_object.h"
#include "export/spreadsheet/workbook.h"

namespace sheetapp {

class WorksheetObject final : public DispatchObject {
 public:
  WorksheetObject(std::shared_ptr<InstanceState> instance, ComRef<DispatchObject> parent,
                  std::shared_ptr<spreadsheet::Workbook> book, std::size_t index);

  spreadsheet::Worksheet& Sheet() const { return book_->WorksheetAt(index_); }

 private:
  ~WorksheetObject() override = default;
  void Perform(const Member& member, const Request& request, Answer& answer) override;

  ComRef<DispatchObject> parent_;
  std::shared_ptr<spreadsheet::Workbook> book_;
  std::size_t index_;
};

class PageSetupObject final : public DispatchObject {
 public:
  explicit PageSetupObject(ComRef<WorksheetObject> sheet);

 private:
  ~PageSetupObject() override = default;
  void Perform(const Member& member, const Request& request, Answer& answer) override;

  ComRef<WorksheetObject> sheet_;
};

}  // namespace sheetapp
