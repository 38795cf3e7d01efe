#include "export/sheetapp/call_request.h"

#include "export/automation/text_convert.h"

namespace sheetapp {
namespace {

// The omitted-argument marker comes by reference (VT_BYREF | VT_VARIANT).
const VARIANT& Referenced(const VARIANT& v) {
  return v.vt == (VT_BYREF | VT_VARIANT) && v.pvarVal != nullptr ? *v.pvarVal : v;
}

[[noreturn]] void Mismatch(std::size_t i) { throw Fault{DISP_E_TYPEMISMATCH, static_cast<int>(i)}; }

}  // namespace

Request::Request(WORD flags, const DISPPARAMS& params)
    : flags_(flags), put_((flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0), positional_(0) {
  if (params.cArgs > 0 && params.rgvarg == nullptr) throw Fault{E_INVALIDARG};
  if (params.cNamedArgs > params.cArgs || (params.cNamedArgs > 0 && params.rgdispidNamedArgs == nullptr)) {
    throw Fault{E_INVALIDARG};
  }
  if (put_) {
    // The value is the one named argument, DISPID_PROPERTYPUT.
    if (params.cNamedArgs == 0) throw Fault{DISP_E_PARAMNOTOPTIONAL};
    if (params.cNamedArgs > 1 || params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) throw Fault{DISP_E_NONAMEDARGS};
  } else if (params.cNamedArgs != 0) {
    throw Fault{DISP_E_NONAMEDARGS};
  }
  // DISPPARAMS holds the arguments last first, a write's value (a named
  // argument) in front of them all.
  args_.reserve(params.cArgs);
  for (UINT i = params.cArgs; i-- > 0;) args_.push_back(&params.rgvarg[i]);
  positional_ = put_ ? args_.size() - 1 : args_.size();
}

void Request::ExpectCount(std::size_t min, std::size_t max) const {
  if (positional_ < min || positional_ > max) throw Fault{DISP_E_BADPARAMCOUNT};
}

bool Request::Omitted(std::size_t i) const {
  if (i >= args_.size()) return true;
  const VARIANT& v = Referenced(*args_[i]);
  return v.vt == VT_ERROR && v.scode == DISP_E_PARAMNOTFOUND;
}

const VARIANT& Request::Required(std::size_t i) const {
  if (Omitted(i)) throw Fault{DISP_E_PARAMNOTOPTIONAL, static_cast<int>(i)};
  return *args_[i];
}

std::int32_t Request::Int32(std::size_t i) const {
  const VARIANT& v = Required(i);
  if (v.vt == VT_I4) return v.lVal;
  if (v.vt == VT_I2) return v.iVal;
  Mismatch(i);
}

double Request::Number(std::size_t i) const {
  const VARIANT& v = Required(i);
  return v.vt == VT_R8 ? v.dblVal : Int32(i);
}

std::string Request::Text(std::size_t i) const {
  const VARIANT& v = Required(i);
  if (v.vt != VT_BSTR) Mismatch(i);
  return automation::FromBstr(v.bstrVal);
}

bool Request::Boolean(std::size_t i) const {
  const VARIANT& v = Required(i);
  if (v.vt != VT_BOOL) Mismatch(i);
  return v.boolVal != VARIANT_FALSE;
}

}  // namespace sheetapp
