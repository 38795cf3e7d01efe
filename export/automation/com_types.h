// The COM automation types, constants and functions the automation layer uses.
//
// On Windows these are the real ones from the SDK headers (ole32, oleaut32).
// Elsewhere they come from the program's own COM subset (com_subset/), with
// the same names, layouts and contracts.
#pragma once

#include <type_traits>

#include "base/win32_types.h"

#ifdef _WIN32

#include <objbase.h>
#include <oleauto.h>

#else

#include "export/automation/com_subset/com_subset.h"

#endif  // _WIN32

static_assert(sizeof(VARIANT) == 8 + 2 * sizeof(void*), "VARIANT has the layout of the real one");

namespace automation {

// Interface identifiers the layer needs, defined here so that nothing has to
// link the SDK's GUID library for them.
inline constexpr IID kNullIid{0x00000000, 0x0000, 0x0000, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}};
inline constexpr IID kDispatchIid{0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID kUnknownIid{0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

inline bool SameGuid(const GUID& a, const GUID& b) {
  if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
  for (int i = 0; i < 8; ++i) {
    if (a.Data4[i] != b.Data4[i]) return false;
  }
  return true;
}

// QueryInterface of an object whose interfaces are IUnknown and, when
// `self` is an IDispatch, IDispatch: a new reference to `self`, or a null
// pointer and E_NOINTERFACE for any other interface.
template <typename Interface>
HRESULT QueryOwnInterface(Interface* self, REFIID riid, void** object) {
  if (object == nullptr) return E_POINTER;
  const bool offered =
      SameGuid(riid, kUnknownIid) || (std::is_base_of_v<IDispatch, Interface> && SameGuid(riid, kDispatchIid));
  if (!offered) {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  *object = self;
  self->AddRef();
  return S_OK;
}

}  // namespace automation
