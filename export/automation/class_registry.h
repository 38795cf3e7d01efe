// Automation servers that live in this process make themselves creatable by
// programmatic identifier here, so that the layer's class lookup and creation
// (LookupClass, CreateInstance) find them exactly as they would find a server
// registered with the system. Nothing is written to the system's registry:
// a registration lasts as long as the process, or until it is withdrawn.
#pragma once

#include <functional>
#include <string_view>

#include "export/automation/com_types.h"

namespace automation {

// Creates one new object and hands over one reference to it in *object.
// A failing result is what CoCreateInstance returns.
using ClassFactory = std::function<HRESULT(IUnknown** object)>;

// Registers `progId` (matched without regard to ASCII case, as the system
// does) for the class `clsid`. A second registration of the same identifier
// replaces the first. E_INVALIDARG for an empty identifier or factory.
HRESULT RegisterAutomationClass(std::string_view progId, const CLSID& clsid, ClassFactory factory);

// Forgets `progId`; nothing happens when it is not registered.
void UnregisterAutomationClass(std::string_view progId);

// CLSIDFromProgID as the layer makes it: the classes registered here first,
// then the system's. Same contract and results.
HRESULT STDAPICALLTYPE LookupClass(LPCOLESTR progId, LPCLSID clsid);

// CoCreateInstance as the layer makes it: a class registered here is created
// in process (after the same checks the system makes: an initialised
// apartment, no aggregation, a context that admits an in-process or local
// server), any other class by the system. Same contract and results.
HRESULT CreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** object);

}  // namespace automation
