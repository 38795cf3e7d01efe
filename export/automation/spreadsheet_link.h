// The spreadsheet link: the one program-wide reference to the spreadsheet
// application, and what the main window does with it at start-up and when
// it closes. The window calls these and shows their outcome.
#pragma once

#include <string>

#include "export/automation/class_registry.h"
#include "export/automation/com_types.h"
#include "export/automation/ole_variant.h"

namespace automation {

inline constexpr char kSpreadsheetProgId[] = "Excel.Application";

// What Label1 shows about the spreadsheet application: its caption, and
// whether the table can be saved (the window shows that in green, the
// opposite in blue).
struct SpreadsheetLabel {
  std::string caption;
  bool canSave;
  bool operator==(const SpreadsheetLabel&) const = default;
};

SpreadsheetLabel SpreadsheetInstalledLabel();  // "MS EXCEL установлен", can save
SpreadsheetLabel SpreadsheetBuiltInLabel();    // "MS EXCEL нет, сохранит программа", can save
SpreadsheetLabel SpreadsheetMissingLabel();    // "MS EXCEL не установлен", cannot

// The link itself: empty, or holding the spreadsheet application's
// IDispatch. Cleared by ComSession before COM goes away.
OleVariant& SpreadsheetLink();

// The identifier lookup CheckExcelInstall asks; replaceable for tests.
using ProgIdLookup = HRESULT(STDAPICALLTYPE*)(LPCOLESTR progId, LPCLSID clsid);

// True exactly when "Excel.Application" is registered (the lookup answers
// S_OK; any other answer, success codes included, is false). Starts nothing.
// The program's own application, registered as a fallback, counts.
bool CheckExcelInstall(ProgIdLookup lookup = &LookupClass);

// Label1 for whoever answers to "Excel.Application" now: the installed
// label for a class of the system, the built-in label for the program's own
// (a fallback registration), the missing label for none. Starts nothing.
SpreadsheetLabel SpreadsheetStateLabel(ProgIdLookup lookup = &LookupClass);

// Starts a new, invisible spreadsheet application instance into `link`,
// releasing the instance it held. Failures raise EOleSysError and leave the
// link as it was.
void StartSpreadsheetInstance(OleVariant& link);

// The window's start-up step: when the application is registered, starts an
// instance into `link` and answers the label of whoever answered (installed
// or built-in); otherwise answers the "missing" label and leaves the link
// empty. A failing start raises (EOleSysError) before any label is chosen,
// so Label1 keeps its text.
SpreadsheetLabel SpreadsheetStartupStep(OleVariant& link, ProgIdLookup lookup = &LookupClass);

// The close query: asks the instance whether it still exists and, if so,
// tells it to quit. Every error is dropped silently. Always answers true
// (the window may close).
bool SpreadsheetCloseQuery(const OleVariant& link) noexcept;

}  // namespace automation
