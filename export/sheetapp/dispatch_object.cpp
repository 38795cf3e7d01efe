#include "export/sheetapp/dispatch_object.h"

#include <new>

#include "base/ascii_case.h"
#include "export/automation/text_convert.h"
#include "export/spreadsheet/spreadsheet_error.h"

namespace sheetapp {
namespace {

std::atomic<long> gLiveObjects{0};

bool SameNameIgnoringCase(const OLECHAR* given, const char* known) {
  using base::LowerAscii;
  std::size_t i = 0;
  for (; known[i] != 0; ++i) {
    if (given[i] == 0 || LowerAscii(static_cast<char16_t>(given[i])) != LowerAscii(static_cast<char16_t>(known[i]))) {
      return false;
    }
  }
  return given[i] == 0;
}

// Whether `member` may be invoked as `request` asks; raises Fault if not.
void CheckAccess(const Member& member, const Request& request) {
  WORD const flags = request.Flags();
  if ((flags & DISPATCH_PROPERTYPUTREF) != 0) throw Fault{DISP_E_MEMBERNOTFOUND};
  bool const reads = (flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) != 0;
  switch (member.kind) {
    case MemberKind::Method:
      if (request.IsPut() || (flags & DISPATCH_METHOD) == 0) throw Fault{DISP_E_MEMBERNOTFOUND};
      break;
    case MemberKind::ReadOnly:
      if (request.IsPut() || !reads) throw Fault{DISP_E_MEMBERNOTFOUND};
      break;
    case MemberKind::RangeValue:
      if (!request.IsPut() && !reads) throw Fault{DISP_E_MEMBERNOTFOUND};
      break;
    case MemberKind::WriteOnly:
      if (!request.IsPut()) throw Fault{DISP_E_MEMBERNOTFOUND};
      request.ExpectCount(0, 0);
      break;
  }
}

HRESULT RaiseException(const char* description, EXCEPINFO* info) {
  if (info == nullptr) return DISP_E_EXCEPTION;
  *info = EXCEPINFO{};
  try {
    info->bstrSource = automation::AllocBstr(kErrorSource);
    info->bstrDescription = automation::AllocBstr(description);
  } catch (const std::bad_alloc&) {
    SysFreeString(info->bstrSource);
    *info = EXCEPINFO{};
    return E_OUTOFMEMORY;
  }
  info->scode = kApplicationErrorCode;
  return DISP_E_EXCEPTION;
}

}  // namespace

long LiveObjectCount() { return gLiveObjects.load(); }

void Answer::Text(const std::string& utf8) {
  BSTR const text = automation::AllocBstr(utf8);
  VariantClear(&value_);
  value_.vt = VT_BSTR;
  value_.bstrVal = text;
}

void Answer::Deliver(VARIANT* out) {
  if (out == nullptr) {
    VariantClear(&value_);
    return;
  }
  *out = value_;
  VariantInit(&value_);
}

DispatchObject::DispatchObject(std::shared_ptr<InstanceState> instance, std::span<const Member> members)
    : instance_(std::move(instance)), members_(members) {
  ++gLiveObjects;
}

DispatchObject::~DispatchObject() { --gLiveObjects; }

HRESULT STDMETHODCALLTYPE DispatchObject::QueryInterface(REFIID riid, void** ppvObject) {
  return automation::QueryOwnInterface(static_cast<IDispatch*>(this), riid, ppvObject);
}

ULONG STDMETHODCALLTYPE DispatchObject::AddRef() { return ++refs_; }

ULONG STDMETHODCALLTYPE DispatchObject::Release() {
  ULONG const left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT STDMETHODCALLTYPE DispatchObject::GetTypeInfoCount(UINT* pctinfo) {
  if (pctinfo == nullptr) return E_INVALIDARG;
  *pctinfo = 0;  // late binding only: no type information
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DispatchObject::GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) {
  if (ppTInfo != nullptr) *ppTInfo = nullptr;
  return DISP_E_BADINDEX;
}

HRESULT STDMETHODCALLTYPE DispatchObject::GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID,
                                                        DISPID* rgDispId) {
  if (!automation::SameGuid(riid, automation::kNullIid)) return DISP_E_UNKNOWNINTERFACE;
  if (rgszNames == nullptr || rgDispId == nullptr || cNames == 0) return E_INVALIDARG;
  for (UINT i = 0; i < cNames; ++i) rgDispId[i] = DISPID_UNKNOWN;
  if (rgszNames[0] == nullptr) return DISP_E_UNKNOWNNAME;
  for (const Member& member : members_) {
    if (SameNameIgnoringCase(rgszNames[0], member.name)) {
      rgDispId[0] = member.id;
      // Further names would be argument names; no member takes named arguments.
      return cNames == 1 ? S_OK : DISP_E_UNKNOWNNAME;
    }
  }
  return DISP_E_UNKNOWNNAME;
}

HRESULT STDMETHODCALLTYPE DispatchObject::Invoke(DISPID dispIdMember, REFIID riid, LCID, WORD wFlags,
                                                 DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                                                 UINT* puArgErr) {
  if (!automation::SameGuid(riid, automation::kNullIid)) return DISP_E_UNKNOWNINTERFACE;
  const Member* member = nullptr;
  for (const Member& candidate : members_) {
    if (candidate.id == dispIdMember) member = &candidate;
  }
  if (member == nullptr) return DISP_E_MEMBERNOTFOUND;
  if (pDispParams == nullptr) return E_INVALIDARG;
  if (instance_->quit) return RPC_E_DISCONNECTED;
  if (pVarResult != nullptr) VariantInit(pVarResult);

  // The object must outlive the call even if the call drops the last
  // reference the caller knew of.
  ComRef<DispatchObject> const hold = ComRef<DispatchObject>::Share(this);
  try {
    Request const request(wFlags, *pDispParams);
    CheckAccess(*member, request);
    Answer answer;
    Perform(*member, request, answer);
    answer.Deliver(pVarResult);
    return S_OK;
  } catch (const Fault& fault) {
    if (fault.argument >= 0 && puArgErr != nullptr) {
      *puArgErr = pDispParams->cArgs - 1 - static_cast<UINT>(fault.argument);
    }
    return fault.code;
  } catch (const ApplicationError& error) {
    return RaiseException(error.what(), pExcepInfo);
  } catch (const spreadsheet::SpreadsheetError& error) {
    return RaiseException(error.what(), pExcepInfo);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (const std::exception& error) {
    return RaiseException(error.what(), pExcepInfo);
  } catch (...) {
    return E_UNEXPECTED;
  }
}

}  // namespace sheetapp
