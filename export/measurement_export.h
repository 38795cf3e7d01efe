// Saving the measurement table into a formatted workbook through the
// spreadsheet application ("Сохранить в MS EXCEL").
//
// The export reaches the window, its dialogs and the file system only
// through ExportPorts, and the spreadsheet application only through the
// spreadsheet link, by late-bound member calls. The window's click handler
// wraps its widgets in an ExportPorts and calls ExportMeasurements; errors
// are left to the application's standard error box.
#pragma once

#include <string>

#include "export/automation/exceptions.h"
#include "export/automation/ole_variant.h"
#include "export/automation/spreadsheet_link.h"

namespace measurement_export {

// A cell whose text is not a number (stopwatch::ParseCellText): "'12,3x' is
// not a valid floating point value".
class EConvertError : public automation::Exception {
 public:
  using automation::Exception::Exception;
};

class ExportPorts {
 public:
  virtual ~ExportPorts() = default;

  // The measurement grid's cell texts (stopwatch/measurement_table.h) in
  // UTF-8 by (column, row), both counted from 0.
  virtual std::string CellText(int column, int row) = 0;
  // The decimal separator the grid's numbers are written with ("," or ".").
  virtual std::string DecimalSeparator() = 0;

  // The save dialog: shows it modally, true when the user confirmed; the
  // chosen full path in UTF-8 (kept by the dialog for the next export).
  virtual bool ExecuteSaveDialog() = 0;
  virtual std::string SaveDialogFileName() = 0;
  // Whether a file (not a folder) exists at the path; RegularFileExists does.
  virtual bool FileExists(const std::string& path) = 0;
  // The Yes/No confirmation box with `text`: true for Yes.
  virtual bool ConfirmOverwrite(const std::string& text) = 0;

  // Label1: caption and font colour.
  virtual void SetSpreadsheetLabel(const automation::SpreadsheetLabel& label) = 0;

  // The spreadsheet link (automation::SpreadsheetLink() in the program).
  virtual automation::OleVariant& Link() = 0;
  // Whether "Excel.Application" is registered.
  virtual bool SpreadsheetInstalled() { return automation::CheckExcelInstall(); }
};

// Runs the export to its end: checks the spreadsheet application, starts a
// new instance into the link and shows on Label1 whose it is (MS Excel's or
// the program's own), builds and fills the sheet, asks for the file,
// asks before replacing an existing one, saves, tells the instance to quit
// and empties the link, releasing it. An application whose "Version" is 12 or later is told the file
// format the name asks for (51 for ".xlsx", 56 for any other name); an
// older one gets the file name alone. Raises whatever error ends it (automation errors, EConvertError),
// after telling the instance, if one was started, to quit without alerts
// and releasing it.
void ExportMeasurements(ExportPorts& ports);

// The overwrite question for `path`.
std::string OverwriteQuestion(const std::string& path);

// True when a regular file (or a link to one) exists at the UTF-8 `path`.
bool RegularFileExists(const std::string& path);

}  // namespace measurement_export
