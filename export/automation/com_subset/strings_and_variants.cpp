// Strings and variants of the COM subset.
#include <cstdlib>
#include <cstring>

#include "export/automation/com_types.h"

namespace {

// The allocation starts with the byte count; the BSTR points just past it.
constexpr std::size_t kPrefixBytes = sizeof(std::uint32_t);

std::uint32_t* PrefixOf(BSTR s) { return reinterpret_cast<std::uint32_t*>(reinterpret_cast<char*>(s) - kPrefixBytes); }

}  // namespace

BSTR SysAllocStringLen(const OLECHAR* strIn, UINT ui) {
  std::size_t const bytes = std::size_t{ui} * sizeof(OLECHAR);
  if (bytes > 0xFFFFFFF0u) return nullptr;
  auto* block = static_cast<char*>(std::malloc(kPrefixBytes + bytes + sizeof(OLECHAR)));
  if (block == nullptr) return nullptr;
  std::uint32_t const count = static_cast<std::uint32_t>(bytes);
  std::memcpy(block, &count, kPrefixBytes);
  auto* text = reinterpret_cast<OLECHAR*>(block + kPrefixBytes);
  if (strIn != nullptr) {
    std::memcpy(text, strIn, bytes);
  } else {
    std::memset(text, 0, bytes);
  }
  text[ui] = 0;
  return text;
}

void SysFreeString(BSTR bstrString) {
  if (bstrString == nullptr) return;
  std::free(PrefixOf(bstrString));
}

UINT SysStringLen(BSTR pbstr) {
  if (pbstr == nullptr) return 0;
  std::uint32_t count;
  std::memcpy(&count, PrefixOf(pbstr), kPrefixBytes);
  return count / sizeof(OLECHAR);
}

void VariantInit(VARIANTARG* pvarg) {
  if (pvarg == nullptr) return;
  std::memset(pvarg, 0, sizeof(VARIANTARG));
  pvarg->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANTARG* pvarg) {
  if (pvarg == nullptr) return E_INVALIDARG;
  VARTYPE const vt = pvarg->vt;
  if ((vt & VT_BYREF) == 0) {
    if ((vt & VT_ARRAY) != 0) return DISP_E_BADVARTYPE;
    switch (vt) {
      case VT_BSTR: SysFreeString(pvarg->bstrVal); break;
      case VT_DISPATCH:
        if (pvarg->pdispVal != nullptr) pvarg->pdispVal->Release();
        break;
      case VT_UNKNOWN:
        if (pvarg->punkVal != nullptr) pvarg->punkVal->Release();
        break;
      default: break;
    }
  }
  VariantInit(pvarg);
  return S_OK;
}

HRESULT VariantCopy(VARIANTARG* pvargDest, const VARIANTARG* pvargSrc) {
  if (pvargDest == nullptr || pvargSrc == nullptr) return E_INVALIDARG;
  if (pvargDest == pvargSrc) return S_OK;
  if ((pvargSrc->vt & VT_ARRAY) != 0 && (pvargSrc->vt & VT_BYREF) == 0) return DISP_E_BADVARTYPE;
  HRESULT const cleared = VariantClear(pvargDest);
  if (FAILED(cleared)) return cleared;
  VARIANTARG copy = *pvargSrc;
  if ((copy.vt & VT_BYREF) == 0) {
    switch (copy.vt) {
      case VT_BSTR:
        if (pvargSrc->bstrVal != nullptr) {
          copy.bstrVal = SysAllocStringLen(pvargSrc->bstrVal, SysStringLen(pvargSrc->bstrVal));
          if (copy.bstrVal == nullptr) return E_OUTOFMEMORY;
        }
        break;
      case VT_DISPATCH:
        if (copy.pdispVal != nullptr) copy.pdispVal->AddRef();
        break;
      case VT_UNKNOWN:
        if (copy.punkVal != nullptr) copy.punkVal->AddRef();
        break;
      default: break;
    }
  }
  *pvargDest = copy;
  return S_OK;
}
