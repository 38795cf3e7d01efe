#include "export/automation/spreadsheet_link.h"

#include "export/automation/ole_object.h"
#include "export/automation/text_convert.h"

namespace automation {

SpreadsheetLabel SpreadsheetInstalledLabel() { return {"MS EXCEL установлен", kInstalledColor}; }

SpreadsheetLabel SpreadsheetMissingLabel() { return {"MS EXCEL не установлен", kMissingColor}; }

OleVariant& SpreadsheetLink() {
  static OleVariant link;
  return link;
}

bool CheckExcelInstall(ProgIdLookup lookup) {
  OleString const progId = ToOleString(kSpreadsheetProgId);
  CLSID clsid{};
  return lookup(progId.c_str(), &clsid) == S_OK;
}

void StartSpreadsheetInstance(OleVariant& link) { link = CreateOleObject(kSpreadsheetProgId); }

SpreadsheetLabel SpreadsheetStartupStep(OleVariant& link, ProgIdLookup lookup) {
  if (!CheckExcelInstall(lookup)) return SpreadsheetMissingLabel();
  StartSpreadsheetInstance(link);
  return SpreadsheetInstalledLabel();
}

bool SpreadsheetCloseQuery(const OleVariant& link) noexcept {
  try {
    OleVariant const exists = link.Call("Exists");
    if (exists.ToBool()) link.Exec("Quit");
  } catch (...) {
    // Closing must never be stopped or interrupted by the spreadsheet
    // application: an empty link, a missing member or a vanished server
    // all end here without a word.
  }
  return true;
}

}  // namespace automation
