// Automation servers that live in this process make themselves creatable by
// programmatic identifier here, so that CLSIDFromProgID and CoCreateInstance
// find them exactly as they would find a server registered with the system.
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

}  // namespace automation
