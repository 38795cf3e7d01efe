#include "export/automation/spreadsheet_link.h"

#include "export/automation/ole_object.h"
#include "export/automation/text_convert.h"

namespace automation {

SpreadsheetLabel SpreadsheetInstalledLabel() { return {"MS EXCEL установлен", true}; }

// The table can be saved, only not by MS Excel. Short enough to end well
// before the buttons at the label's 21-pixel Arial.
SpreadsheetLabel SpreadsheetBuiltInLabel() { return {"MS EXCEL нет, сохранит программа", true}; }

SpreadsheetLabel SpreadsheetMissingLabel() { return {"MS EXCEL не установлен", false}; }

OleVariant& SpreadsheetLink() {
  static OleVariant link;
  return link;
}

namespace {

// The class that answers to "Excel.Application"; false when none does.
bool FindSpreadsheetClass(ProgIdLookup lookup, CLSID& clsid) {
  OleString const progId = ToOleString(kSpreadsheetProgId);
  return lookup(progId.c_str(), &clsid) == S_OK;
}

}  // namespace

bool CheckExcelInstall(ProgIdLookup lookup) {
  CLSID clsid{};
  return FindSpreadsheetClass(lookup, clsid);
}

SpreadsheetLabel SpreadsheetStateLabel(ProgIdLookup lookup) {
  CLSID clsid{};
  if (!FindSpreadsheetClass(lookup, clsid)) return SpreadsheetMissingLabel();
  return IsFallbackClass(clsid) ? SpreadsheetBuiltInLabel() : SpreadsheetInstalledLabel();
}

void StartSpreadsheetInstance(OleVariant& link) { link = CreateOleObject(kSpreadsheetProgId); }

SpreadsheetLabel SpreadsheetStartupStep(OleVariant& link, ProgIdLookup lookup) {
  SpreadsheetLabel const label = SpreadsheetStateLabel(lookup);
  if (label != SpreadsheetMissingLabel()) StartSpreadsheetInstance(link);
  return label;
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
