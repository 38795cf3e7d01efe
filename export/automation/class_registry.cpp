// The in-process class registry: registrations by programmatic identifier
// and creation through their factories.
#include <algorithm>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "base/ascii_case.h"
#include "export/automation/busy_retry.h"
#include "export/automation/class_registry_internal.h"
#include "export/automation/text_convert.h"

namespace automation {
namespace {

using base::EqualsIgnoringAsciiCase;

struct Registration {
  std::string progId;
  CLSID clsid;
  ClassFactory factory;
  ClassRank rank;
};

// Registrations may come from any thread; lookups run on the calling
// thread of each creation.
std::mutex& RegistryMutex() {
  static std::mutex mutex;
  return mutex;
}

std::vector<Registration>& Registry() {
  static std::vector<Registration> registry;
  return registry;
}

}  // namespace

HRESULT RegisterAutomationClass(std::string_view progId, const CLSID& clsid, ClassFactory factory, ClassRank rank) {
  if (progId.empty() || !factory) return E_INVALIDARG;
  std::lock_guard lock(RegistryMutex());
  auto& registry = Registry();
  std::erase_if(registry,
                [&](const Registration& r) { return r.rank == rank && EqualsIgnoringAsciiCase(r.progId, progId); });
  registry.push_back(Registration{std::string(progId), clsid, std::move(factory), rank});
  return S_OK;
}

void UnregisterAutomationClass(std::string_view progId, ClassRank rank) {
  std::lock_guard lock(RegistryMutex());
  std::erase_if(Registry(),
                [&](const Registration& r) { return r.rank == rank && EqualsIgnoringAsciiCase(r.progId, progId); });
}

bool IsFallbackClass(const CLSID& clsid) {
  std::lock_guard lock(RegistryMutex());
  return std::any_of(Registry().begin(), Registry().end(),
                     [&](const Registration& r) { return r.rank == ClassRank::Fallback && SameGuid(r.clsid, clsid); });
}

namespace registered {

bool FindClass(std::string_view progId, ClassRank rank, CLSID& clsid) {
  std::lock_guard lock(RegistryMutex());
  for (const Registration& r : Registry()) {
    if (r.rank == rank && EqualsIgnoringAsciiCase(r.progId, progId)) {
      clsid = r.clsid;
      return true;
    }
  }
  return false;
}

HRESULT LookupFallback(HRESULT systemAnswer, LPCOLESTR progId, CLSID& clsid) {
  if (SUCCEEDED(systemAnswer) || progId == nullptr) return systemAnswer;
  return FindClass(ProgIdText(progId), ClassRank::Fallback, clsid) ? S_OK : systemAnswer;
}

ClassFactory FindFactory(const CLSID& clsid) {
  std::lock_guard lock(RegistryMutex());
  for (const Registration& r : Registry()) {
    if (SameGuid(r.clsid, clsid)) return r.factory;
  }
  return {};
}

HRESULT Create(const ClassFactory& factory, IUnknown* outer, DWORD context, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  if ((context & (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER)) == 0) {
    return REGDB_E_CLASSNOTREG;
  }
  IUnknown* made = nullptr;
  HRESULT const created = RetryWhileBusy([&] {
    HRESULT const answer = factory(&made);
    if (FAILED(answer) && made != nullptr) {
      made->Release();
      made = nullptr;
    }
    return answer;
  });
  if (FAILED(created)) return created;
  if (made == nullptr) return E_UNEXPECTED;
  HRESULT const queried = made->QueryInterface(iid, object);
  made->Release();
  if (FAILED(queried)) *object = nullptr;
  return queried;
}

std::string ProgIdText(LPCOLESTR progId) {
  std::size_t length = 0;
  while (progId[length] != 0) ++length;
  return FromOleString(progId, length);
}

}  // namespace registered
}  // namespace automation
