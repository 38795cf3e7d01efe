// The measurement export's ports over the main window: its grid, save
// dialog, confirmation box, Label1 and the regional decimal separator.
#pragma once

#include "export/measurement_export.h"

class TForm1;
class TLabel;

namespace app {

// Label1 as the spreadsheet link describes it: green when the table can be
// saved, blue when it cannot.
void ShowSpreadsheetLabel(TLabel& label1, const automation::SpreadsheetLabel& state);

class Form1ExportPorts final : public measurement_export::ExportPorts {
 public:
  explicit Form1ExportPorts(TForm1& form) : form_(form) {}

  std::string CellText(int column, int row) override;
  std::string DecimalSeparator() override;
  bool ExecuteSaveDialog() override;
  std::string SaveDialogFileName() override;
  bool FileExists(const std::string& path) override;
  bool ConfirmOverwrite(const std::string& text) override;
  void SetSpreadsheetLabel(const automation::SpreadsheetLabel& label) override;
  automation::OleVariant& Link() override;
  bool SpreadsheetInstalled() override;

 private:
  TForm1& form_;
};

}  // namespace app
