// Class lookup and creation on Windows: the system's classes first, so that
// an application installed while the program runs is the one it finds; then
// the classes registered in this process. The in-process registrations never
// reach the system's registry.
#include "export/automation/class_registry_internal.h"

namespace automation {
namespace {

// Whether the calling thread may create objects: what CoCreateInstance
// answers CO_E_NOTINITIALIZED for. A thread in the process-wide implicit
// multithreaded apartment may, as with the system's classes.
bool ApartmentInitialised() {
  APTTYPE type{};
  APTTYPEQUALIFIER qualifier{};
  return SUCCEEDED(::CoGetApartmentType(&type, &qualifier));
}

}  // namespace

HRESULT STDAPICALLTYPE LookupClass(LPCOLESTR progId, LPCLSID clsid) {
  HRESULT const system = ::CLSIDFromProgID(progId, clsid);
  if (SUCCEEDED(system) || progId == nullptr || clsid == nullptr) return system;
  if (registered::FindClass(registered::ProgIdText(progId), ClassRank::Ordinary, *clsid)) return S_OK;
  return registered::LookupFallback(system, progId, *clsid);
}

HRESULT CreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** object) {
  ClassFactory const factory = registered::FindFactory(clsid);
  if (!factory) return ::CoCreateInstance(clsid, outer, context, iid, object);
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (!ApartmentInitialised()) return CO_E_NOTINITIALIZED;
  return registered::Create(factory, outer, context, iid, object);
}

}  // namespace automation
