#include "app/lab_sheet/lab_sheet_output.h"

#include <string_view>

#include "app/kit/backend.h"
#include "app/kit/dialogs.h"
#include "app/kit/save_dialog.h"
#include "base/atomic_file.h"
#include "export/spreadsheet/spreadsheet_error.h"

namespace app {
namespace {

// A PDF replaces the file all at once: a failed save leaves the old one,
// and says so as a failed workbook save does.
void StoreAtomically(const std::string& path, std::string_view bytes) {
  try {
    base::AtomicFile file(path);
    file.Write(bytes.data(), bytes.size());
    file.Commit();
  } catch (const base::FileError& error) {
    throw spreadsheet::SaveError::Naming(path, error.what());
  }
}

}  // namespace

TSaveDialog* MakePdfSaveDialog(TComponent* owner) {
  auto* dialog = new TSaveDialog(owner);
  dialog->SetName("PdfSaveDialog");
  dialog->SetDefaultExt("pdf");
  dialog->SetFilter("PDF (*.pdf)|*.pdf");
  dialog->SetOverwritePrompt(true);
  dialog->SetFileName("Таблица измерений.pdf");
  return dialog;
}

void PrintLabSheet(const LabSheet& sheet) {
  const kit::PrintResult result = kit::CurrentDialogs().Print(LabSheetJob(sheet));
  if (result.outcome == kit::PrintOutcome::Failed) kit::ShowErrorBox(result.message);
}

void SaveLabSheetAsPdf(const LabSheet& sheet, TSaveDialog& dialog) {
  if (kit::CanSaveAsPdf()) {
    if (!dialog.Execute()) return;
    const kit::PrintResult result = kit::SaveAsPdf(LabSheetJob(sheet), dialog.FileName(), &StoreAtomically);
    if (result.outcome == kit::PrintOutcome::Failed) kit::ShowErrorBox(result.message);
    if (result.outcome != kit::PrintOutcome::NoPdfPrinter) return;
  }
  kit::ShowInformationBox(kNoPdfPrinterNotice);
  PrintLabSheet(sheet);
}

}  // namespace app
