// The built-in spreadsheet application: an in-process automation server that
// answers the member calls the measurement export makes, over the workbook
// model in export/spreadsheet, and saves .xls (or .xlsx) files itself.
//
// The program registers it as "Excel.Application" at start where no
// spreadsheet application of the system answers to that name, so the
// spreadsheet link and the export work the same either way.
#pragma once

#include "export/automation/com_types.h"

namespace sheetapp {

// The class identifier it registers under.
extern const CLSID kBuiltInSpreadsheetClsid;

// The factory: a new application instance (its own workbooks, alerts on),
// one reference handed over in *object. E_POINTER for a null argument,
// E_OUTOFMEMORY when it cannot be made.
HRESULT CreateBuiltInSpreadsheet(IUnknown** object);

// Makes it creatable as "Excel.Application" through CLSIDFromProgID and
// CoCreateInstance (replacing another in-process registration of that name).
HRESULT RegisterBuiltInSpreadsheet();
void UnregisterBuiltInSpreadsheet();

}  // namespace sheetapp
