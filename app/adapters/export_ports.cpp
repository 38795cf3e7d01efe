#include "app/adapters/export_ports.h"

#include "app/adapters/clock_and_locale.h"
#include "app/form1.h"
#include "app/kit/dialogs.h"
#include "app/kit/label.h"
#include "app/kit/save_dialog.h"
#include "app/kit/string_grid.h"

namespace app {

std::string Form1ExportPorts::CellText(int column, int row) { return form_.StringGrid1->Cell(column, row); }

// The separator the read-out wrote the cells with.
std::string Form1ExportPorts::DecimalSeparator() { return ClockAndLocale().DecimalSeparator(); }

bool Form1ExportPorts::ExecuteSaveDialog() { return form_.SaveDialog1->Execute(); }

// The dialog answers with the path as the system writes it ("C:\..."), as
// the question and the spreadsheet application want it.
std::string Form1ExportPorts::SaveDialogFileName() { return form_.SaveDialog1->FileName(); }

bool Form1ExportPorts::FileExists(const std::string& path) { return measurement_export::RegularFileExists(path); }

bool Form1ExportPorts::ConfirmOverwrite(const std::string& text) { return kit::ConfirmBox(text) == kit::kIdYes; }

void ShowSpreadsheetLabel(TLabel& label1, const automation::SpreadsheetLabel& state) {
  label1.SetFontColor(state.canSave ? clGreen : clBlue);
  label1.SetText(state.caption);
}

void Form1ExportPorts::SetSpreadsheetLabel(const automation::SpreadsheetLabel& label) {
  ShowSpreadsheetLabel(*form_.Label1, label);
}

automation::OleVariant& Form1ExportPorts::Link() { return automation::SpreadsheetLink(); }

bool Form1ExportPorts::SpreadsheetInstalled() { return form_.CheckExcelInstall(); }

}  // namespace app
