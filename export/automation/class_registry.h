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

// How a registration ranks against the system's classes of the same name.
enum class ClassRank {
  // Answers where the system has no class of that name. Where the COM
  // subset is the system's COM, this is a registration with the system.
  Ordinary,
  // A stand-in: answers only where neither the system nor an ordinary
  // registration has a class of that name, so that a real server installed
  // later takes over at the next lookup.
  Fallback,
};

// Registers `progId` (matched without regard to ASCII case, as the system
// does) for the class `clsid`. A second registration of the same identifier
// and rank replaces the first. E_INVALIDARG for an empty identifier or factory.
HRESULT RegisterAutomationClass(std::string_view progId, const CLSID& clsid, ClassFactory factory,
                                ClassRank rank = ClassRank::Ordinary);

// Forgets the registration of `progId` of that rank; nothing happens when
// there is none.
void UnregisterAutomationClass(std::string_view progId, ClassRank rank = ClassRank::Ordinary);

// True when `clsid` is the class of a fallback registration.
bool IsFallbackClass(const CLSID& clsid);

// CLSIDFromProgID as the layer makes it: the system's classes, then the
// ordinary registrations made here, then the fallbacks. Same contract and
// results.
HRESULT STDAPICALLTYPE LookupClass(LPCOLESTR progId, LPCLSID clsid);

// CoCreateInstance as the layer makes it: a class registered here is created
// in process (after the same checks the system makes: an initialised
// apartment, no aggregation, a context that admits an in-process or local
// server), any other class by the system. Same contract and results.
HRESULT CreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** object);

}  // namespace automation
