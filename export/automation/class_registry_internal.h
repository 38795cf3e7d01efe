// The store behind the in-process class registry, shared by the platforms'
// class lookup and creation. Not for use outside the automation layer.
#pragma once

#include <string>
#include <string_view>

#include "export/automation/class_registry.h"

namespace automation::registered {

// The class registered for `progId` (ASCII case ignored) with that rank;
// false when none.
bool FindClass(std::string_view progId, ClassRank rank, CLSID& clsid);

// The layer's lookup once the system (and the ordinary registrations) have
// answered `systemAnswer`: that answer when it is a success or the call was
// malformed, otherwise a fallback registration of `progId` if there is one.
HRESULT LookupFallback(HRESULT systemAnswer, LPCOLESTR progId, CLSID& clsid);

// The factory of the class `clsid`, of either rank; empty when it is not
// registered here.
ClassFactory FindFactory(const CLSID& clsid);

// What CoCreateInstance does once it has found the class and the apartment
// is initialised: refuses aggregation and contexts without an in-process or
// local server, makes the object (again while the factory answers busy,
// busy_retry.h) and asks it for `iid`. *object is null
// unless the result is a success.
HRESULT Create(const ClassFactory& factory, IUnknown* outer, DWORD context, REFIID iid, void** object);

// A zero-terminated UTF-16 identifier as UTF-8.
std::string ProgIdText(LPCOLESTR progId);

}  // namespace automation::registered
