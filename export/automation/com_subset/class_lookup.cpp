// The layer's class lookup and creation where the COM subset is the system's
// COM: the subset's own functions already consult the ordinary in-process
// registrations (they are its registry); the fallbacks come after them.
#include "export/automation/class_registry.h"
#include "export/automation/class_registry_internal.h"

namespace automation {

HRESULT STDAPICALLTYPE LookupClass(LPCOLESTR progId, LPCLSID clsid) {
  HRESULT const system = CLSIDFromProgID(progId, clsid);
  if (clsid == nullptr) return system;
  return registered::LookupFallback(system, progId, *clsid);
}

HRESULT CreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** object) {
  return CoCreateInstance(clsid, outer, context, iid, object);
}

}  // namespace automation
