// Apartment initialisation and class creation of the portable COM subset,
// over the in-process class registry.
#include <algorithm>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "export/automation/class_registry.h"
#include "export/automation/com_types.h"
#include "export/automation/text_convert.h"

namespace {

thread_local int tComInitCount = 0;

struct Registration {
  std::string progId;
  CLSID clsid;
  automation::ClassFactory factory;
};

std::mutex gRegistryMutex;
std::vector<Registration>& Registry() {
  static std::vector<Registration> registry;
  return registry;
}

bool SameProgId(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return lower(x) == lower(y);
  });
}

}  // namespace

namespace automation {

HRESULT RegisterAutomationClass(std::string_view progId, const CLSID& clsid, ClassFactory factory) {
  if (progId.empty() || !factory) return E_INVALIDARG;
  std::lock_guard lock(gRegistryMutex);
  auto& registry = Registry();
  std::erase_if(registry, [&](const Registration& r) { return SameProgId(r.progId, progId); });
  registry.push_back(Registration{std::string(progId), clsid, std::move(factory)});
  return S_OK;
}

void UnregisterAutomationClass(std::string_view progId) {
  std::lock_guard lock(gRegistryMutex);
  std::erase_if(Registry(), [&](const Registration& r) { return SameProgId(r.progId, progId); });
}

}  // namespace automation

HRESULT CoInitialize(void*) { return tComInitCount++ == 0 ? S_OK : S_FALSE; }

void CoUninitialize() {
  if (tComInitCount > 0) --tComInitCount;
}

HRESULT CLSIDFromProgID(LPCOLESTR lpszProgID, LPCLSID lpclsid) {
  if (lpszProgID == nullptr || lpclsid == nullptr) return E_INVALIDARG;
  std::size_t length = 0;
  while (lpszProgID[length] != 0) ++length;
  std::string const progId = automation::FromOleString(lpszProgID, length);
  std::lock_guard lock(gRegistryMutex);
  for (const Registration& r : Registry()) {
    if (SameProgId(r.progId, progId)) {
      *lpclsid = r.clsid;
      return S_OK;
    }
  }
  return CO_E_CLASSSTRING;
}

HRESULT CoCreateInstance(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsContext, REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  if (tComInitCount == 0) return CO_E_NOTINITIALIZED;
  if (pUnkOuter != nullptr) return CLASS_E_NOAGGREGATION;
  if ((dwClsContext & (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER)) == 0) {
    return REGDB_E_CLASSNOTREG;
  }
  automation::ClassFactory factory;
  {
    std::lock_guard lock(gRegistryMutex);
    for (const Registration& r : Registry()) {
      if (automation::SameGuid(r.clsid, rclsid)) {
        factory = r.factory;
        break;
      }
    }
  }
  if (!factory) return REGDB_E_CLASSNOTREG;
  IUnknown* object = nullptr;
  HRESULT const created = factory(&object);
  if (FAILED(created)) {
    if (object != nullptr) object->Release();
    return created;
  }
  if (object == nullptr) return E_UNEXPECTED;
  HRESULT const queried = object->QueryInterface(riid, ppv);
  object->Release();
  return queried;
}
