// Apartment initialisation and class creation of the COM subset, over the
// in-process class registry: here its ordinary registrations are the only
// registry there is; fallbacks are the layer's lookup's business.
#include "export/automation/class_registry_internal.h"
#include "export/automation/com_types.h"

namespace {

thread_local int tComInitCount = 0;

}  // namespace

HRESULT CoInitialize(void*) { return tComInitCount++ == 0 ? S_OK : S_FALSE; }

void CoUninitialize() {
  if (tComInitCount > 0) --tComInitCount;
}

HRESULT CLSIDFromProgID(LPCOLESTR lpszProgID, LPCLSID lpclsid) {
  if (lpszProgID == nullptr || lpclsid == nullptr) return E_INVALIDARG;
  return automation::registered::FindClass(automation::registered::ProgIdText(lpszProgID),
                                           automation::ClassRank::Ordinary, *lpclsid)
             ? S_OK
             : CO_E_CLASSSTRING;
}

HRESULT CoCreateInstance(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsContext, REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  if (tComInitCount == 0) return CO_E_NOTINITIALIZED;
  automation::ClassFactory const factory = automation::registered::FindFactory(rclsid);
  if (!factory) {
    // The checks come first for a class that is not there as well.
    if (pUnkOuter != nullptr) return CLASS_E_NOAGGREGATION;
    return REGDB_E_CLASSNOTREG;
  }
  return automation::registered::Create(factory, pUnkOuter, dwClsContext, riid, ppv);
}

// Here every thread runs with the user's default locale.
LCID GetThreadLocale() { return LOCALE_USER_DEFAULT; }
