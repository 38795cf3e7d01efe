// The application object and its collections: the workbooks, a workbook,
// and a workbook's worksheets.
//
//   Application  "Application" (itself), "WorkBooks", "WorkSheets" (of the
//                active workbook), "DisplayAlerts" (written), "Quit", "Version"
//   Workbooks    "Add", "Item" (from 1; the default member)
//   Workbook     "SaveAs" (the file name, and optionally the file format)
//   Worksheets   "Item" (from 1; the default member)
//
// Every object holds a reference on the object it was obtained from, so a
// sheet keeps its workbook, and the workbook the application, alive.
#pragma once

#include <cstddef>
#include <memory>

#include "export/sheetapp/dispatch_object.h"
#include "export/spreadsheet/workbook.h"

namespace sheetapp {

class ApplicationObject final : public DispatchObject {
 public:
  ApplicationObject();

 private:
  ~ApplicationObject() override = default;
  void Perform(const Member& member, const Request& request, Answer& answer) override;
};

class WorkbooksObject final : public DispatchObject {
 public:
  explicit WorkbooksObject(ComRef<ApplicationObject> application);

 private:
  ~WorkbooksObject() override = default;
  void Perform(const Member& member, const Request& request, Answer& answer) override;

  ComRef<ApplicationObject> application_;
};

class WorkbookObject final : public DispatchObject {
 public:
  WorkbookObject(ComRef<DispatchObject> parent, std::shared_ptr<spreadsheet::Workbook> book);

 private:
  ~WorkbookObject() override = default;
  void Perform(const Member& member, const Request& request, Answer& answer) override;

  ComRef<DispatchObject> parent_;
  std::shared_ptr<spreadsheet::Workbook> book_;
};

class WorksheetsObject final : public DispatchObject {
 public:
  WorksheetsObject(ComRef<DispatchObject> parent, std::shared_ptr<spreadsheet::Workbook> book);

 private:
  ~WorksheetsObject() override = default;
  void Perform(const Member& member, const Request& request, Answer& answer) override;

  ComRef<DispatchObject> parent_;
  std::shared_ptr<spreadsheet::Workbook> book_;
};

}  // namespace sheetapp
