// "Печать…" and "Сохранить в PDF…": the lab sheet on a printer chosen in
// the system's print dialog, or into a PDF file chosen in the save dialog.
// A failure says why in the error box; a cancelled dialog does nothing.
#pragma once

#include "app/lab_sheet/lab_sheet.h"

class TComponent;
class TSaveDialog;

namespace app {

// The save dialog for PDF files: "PDF (*.pdf)", asking before it replaces
// a file. It keeps the last path for the next save.
TSaveDialog* MakePdfSaveDialog(TComponent* owner);

void PrintLabSheet(const LabSheet& sheet);

// Where the system cannot make a PDF (Windows without "Microsoft Print to
// PDF"), says so and opens the print dialog instead, where a PDF printer
// of the user's may be chosen.
void SaveLabSheetAsPdf(const LabSheet& sheet, TSaveDialog& dialog);

// The notice given then.
inline constexpr char kNoPdfPrinterNotice[] =
    "На этом компьютере нет принтера «Microsoft Print to PDF» (он есть в Windows 10 и новее), и сохранить лист "
    "в PDF программа не может.\nВ окне печати можно выбрать другой принтер, сохраняющий PDF, если он установлен.";

}  // namespace app
