// Class lookup and creation on Windows: the system's classes first, so that
// an application installed while the program runs is the one it finds; then
// the classes registered in this process. The in-process registrations never
// reach the system's registry.
#include "export/automation/busy_retry.h"
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

constexpr IID kClassFactoryIid{0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// CoCreateInstance in its two steps, so that a server that is busy when the
// object is asked for (MS Excel still starting) is asked again, in the same
// process: CoCreateInstance again would start another one each time, and
// each of those would start busy.
HRESULT CreateSystemInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  IClassFactory* factory = nullptr;
  HRESULT const found = RetryWhileBusy([&] {
    return ::CoGetClassObject(clsid, context, nullptr, kClassFactoryIid, reinterpret_cast<void**>(&factory));
  });
  if (FAILED(found)) return found;
  if (factory == nullptr) return E_NOINTERFACE;
  HRESULT const created = RetryWhileBusy([&] { return factory->CreateInstance(outer, iid, object); });
  factory->Release();
  if (FAILED(created)) *object = nullptr;
  return created;
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
  if (!factory) return CreateSystemInstance(clsid, outer, context, iid, object);
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (!ApartmentInitialised()) return CO_E_NOTINITIALIZED;
  return registered::Create(factory, outer, context, iid, object);
}

}  // namespace automation
