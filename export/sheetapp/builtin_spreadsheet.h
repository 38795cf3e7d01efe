// The built-in spreadsheet application: an in-process automation server that
// answers the member calls the measurement export makes, over the workbook
// model in export/spreadsheet, and saves .xls (or .xlsx) files itself.
//
// The program registers it as "Excel.Application" at start, as a fallback
// that answers only where no spreadsheet application of the system does, so
// the spreadsheet link and the export work the same either way.
#pragma once

#include "export/automation/com_types.h"

namespace sheetapp {

// The class identifier it registers under.
extern const CLSID kBuiltInSpreadsheetClsid;

// The factory: a new application instance (its own workbooks, alerts on),
// one reference handed over in *object. E_POINTER for a null argument,
// E_OUTOFMEMORY when it cannot be made.
HRESULT CreateBuiltInSpreadsheet(IUnknown** object);

// Makes it creatable as "Excel.Application" through the automation layer's
// lookup and creation, as the fallback of that name (replacing an earlier
// fallback): a system's or ordinary registration of the name answers first.
HRESULT RegisterBuiltInSpreadsheet();
void UnregisterBuiltInSpreadsheet();

}  // namespace sheetapp
