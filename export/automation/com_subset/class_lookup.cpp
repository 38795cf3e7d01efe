// The layer's class lookup and creation where the COM subset is the system's
// COM: the subset's own functions already consult the in-process registry.
#include "export/automation/class_registry.h"

namespace automation {

HRESULT STDAPICALLTYPE LookupClass(LPCOLESTR progId, LPCLSID clsid) { return CLSIDFromProgID(progId, clsid); }

HRESULT CreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** object) {
  return CoCreateInstance(clsid, outer, context, iid, object);
}

}  // namespace automation
