#include "export/automation/ole_variant.h"

#include <cstdlib>
#include <string>

#include "base/ascii_case.h"
#include "export/automation/exceptions.h"
#include "export/automation/text_convert.h"

namespace automation {
namespace {

bool TextToBool(BSTR text) {
  std::string const value = FromBstr(text);
  std::string_view trimmed = value;
  while (!trimmed.empty() && trimmed.front() == ' ') trimmed.remove_prefix(1);
  while (!trimmed.empty() && trimmed.back() == ' ') trimmed.remove_suffix(1);
  if (base::EqualsIgnoringAsciiCase(trimmed, "true")) return true;
  if (base::EqualsIgnoringAsciiCase(trimmed, "false")) return false;
  std::string const number(trimmed);
  char* end = nullptr;
  double const parsed = std::strtod(number.c_str(), &end);
  if (number.empty() || end != number.c_str() + number.size()) throw EVariantTypeCastError(VT_BSTR, "Boolean");
  return parsed != 0.0;
}

}  // namespace

OleVariant::OleVariant(IDispatch* dispatch) noexcept {
  VariantInit(&value_);
  if (dispatch == nullptr) return;
  dispatch->AddRef();
  value_.vt = VT_DISPATCH;
  value_.pdispVal = dispatch;
}

OleVariant::OleVariant(const OleVariant& other) {
  VariantInit(&value_);
  // Some SDK headers declare the source non-const; it is only read.
  HRESULT const copied = VariantCopy(&value_, const_cast<VARIANT*>(&other.value_));
  if (FAILED(copied)) throw EOleSysError(std::string(), copied);
}

OleVariant& OleVariant::operator=(const OleVariant& other) {
  if (this != &other) {
    OleVariant copy(other);
    *this = std::move(copy);
  }
  return *this;
}

OleVariant& OleVariant::operator=(OleVariant&& other) noexcept {
  if (this != &other) {
    VariantClear(&value_);
    value_ = other.value_;
    VariantInit(&other.value_);
  }
  return *this;
}

bool OleVariant::ToBool() const {
  switch (value_.vt) {
    case VT_EMPTY: return false;
    case VT_BOOL: return value_.boolVal != VARIANT_FALSE;
    case VT_I2: return value_.iVal != 0;
    case VT_I4: return value_.lVal != 0;
    case VT_R8: return value_.dblVal != 0.0;
    case VT_BSTR: return TextToBool(value_.bstrVal);
    default: throw EVariantTypeCastError(value_.vt, "Boolean");
  }
}

OleVariant OleVariant::Perform(CallKind kind, std::string_view name, std::initializer_list<Arg> args) const {
  OleVariant result;
  InvokeMember(value_, name, kind, std::span<const Arg>(args.begin(), args.size()), result.Receive());
  return result;
}

void OleVariant::PerformWithoutResult(CallKind kind, std::string_view name, std::initializer_list<Arg> args) const {
  InvokeMember(value_, name, kind, std::span<const Arg>(args.begin(), args.size()), nullptr);
}

}  // namespace automation
