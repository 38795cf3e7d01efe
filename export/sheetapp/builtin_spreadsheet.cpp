#include "export/sheetapp/builtin_spreadsheet.h"

#include <new>

#include "export/automation/class_registry.h"
#include "export/automation/spreadsheet_link.h"
#include "export/sheetapp/application_objects.h"

namespace sheetapp {

const CLSID kBuiltInSpreadsheetClsid = {0x6C756D65, 0x7472, 0x4161, {0x9E, 0x5B, 0x53, 0x68, 0x65, 0x65, 0x74, 0x41}};

HRESULT CreateBuiltInSpreadsheet(IUnknown** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  try {
    *object = static_cast<IDispatch*>(MakeObject<ApplicationObject>().Detach());
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  return S_OK;
}

HRESULT RegisterBuiltInSpreadsheet() {
  return automation::RegisterAutomationClass(automation::kSpreadsheetProgId, kBuiltInSpreadsheetClsid,
                                             &CreateBuiltInSpreadsheet, automation::ClassRank::Fallback);
}

void UnregisterBuiltInSpreadsheet() {
  automation::UnregisterAutomationClass(automation::kSpreadsheetProgId, automation::ClassRank::Fallback);
}

}  // namespace sheetapp
