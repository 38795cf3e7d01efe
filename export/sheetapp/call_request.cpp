#include "export/sheetapp/call_request.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>

#include "export/automation/ascii_case.h"
#include "export/automation/text_convert.h"

namespace sheetapp {
namespace {

template <class T>
T ReadThrough(const VARIANT& v) {
  T value;
  std::memcpy(&value, v.byref, sizeof value);
  return value;
}

std::string_view TrimSpaces(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// A decimal number written with a full stop: sign, digits, fraction,
// exponent. Nothing else (no "inf", "nan", hexadecimal or stray characters).
std::optional<double> ParseNumber(std::string_view text) {
  text = TrimSpaces(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || !((text.front() >= '0' && text.front() <= '9') || text.front() == '.')) return std::nullopt;
  double value = 0;
  auto const [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (end != text.data() + text.size()) return std::nullopt;
  if (error == std::errc::result_out_of_range) throw Fault{DISP_E_OVERFLOW};
  if (error != std::errc()) return std::nullopt;
  return negative ? -value : value;
}

std::string NumberText(double value) {
  char buffer[32];
  auto const [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return error == std::errc() ? std::string(buffer, end) : std::string();
}

}  // namespace

VARIANT Dereference(const VARIANT& v) {
  VARIANT out = v;
  for (int depth = 0; depth < 4 && (out.vt & VT_BYREF) != 0; ++depth) {
    VARIANT plain;
    VariantInit(&plain);
    if (out.byref == nullptr) {
      plain.vt = VT_NULL;
      return plain;
    }
    plain.vt = static_cast<VARTYPE>(out.vt & ~VT_BYREF);
    switch (plain.vt) {
      case VT_VARIANT: out = *out.pvarVal; continue;
      case VT_I1:
      case VT_UI1: plain.bVal = ReadThrough<BYTE>(out); break;
      case VT_I2:
      case VT_UI2: plain.iVal = ReadThrough<SHORT>(out); break;
      case VT_I4:
      case VT_UI4:
      case VT_INT:
      case VT_UINT: plain.lVal = ReadThrough<LONG>(out); break;
      case VT_ERROR: plain.scode = ReadThrough<SCODE>(out); break;
      case VT_I8:
      case VT_UI8: plain.llVal = ReadThrough<LONGLONG>(out); break;
      case VT_R4: plain.fltVal = ReadThrough<FLOAT>(out); break;
      case VT_R8:
      case VT_DATE: plain.dblVal = ReadThrough<DOUBLE>(out); break;
      case VT_BOOL: plain.boolVal = ReadThrough<VARIANT_BOOL>(out); break;
      case VT_BSTR: plain.bstrVal = ReadThrough<BSTR>(out); break;
      case VT_DISPATCH: plain.pdispVal = ReadThrough<IDispatch*>(out); break;
      case VT_UNKNOWN: plain.punkVal = ReadThrough<IUnknown*>(out); break;
      default: plain.vt = VT_NULL; break;  // arrays and records: nothing takes them
    }
    return plain;
  }
  return out;
}

std::optional<double> CoerceToNumber(const VARIANT& given) {
  VARIANT const v = Dereference(given);
  switch (v.vt) {
    case VT_EMPTY: return 0.0;
    case VT_I1: return static_cast<signed char>(v.bVal);
    case VT_UI1: return v.bVal;
    case VT_I2: return v.iVal;
    case VT_UI2: return static_cast<unsigned short>(v.iVal);
    case VT_I4:
    case VT_INT: return v.lVal;
    case VT_UI4:
    case VT_UINT: return static_cast<std::uint32_t>(v.lVal);
    case VT_I8: return static_cast<double>(v.llVal);
    case VT_UI8: return static_cast<double>(static_cast<ULONGLONG>(v.llVal));
    case VT_R4: return v.fltVal;
    case VT_R8:
    case VT_DATE: return v.dblVal;
    case VT_BOOL: return v.boolVal != VARIANT_FALSE ? -1.0 : 0.0;
    case VT_BSTR: return ParseNumber(automation::FromBstr(v.bstrVal));
    default: return std::nullopt;
  }
}

std::optional<std::int32_t> CoerceToInt32(const VARIANT& v) {
  std::optional<double> const number = CoerceToNumber(v);
  if (!number) return std::nullopt;
  // Halves go to the even neighbour, as automation's own coercion rounds.
  double const rounded = std::nearbyint(*number);
  if (!(rounded >= std::numeric_limits<std::int32_t>::min() && rounded <= std::numeric_limits<std::int32_t>::max())) {
    throw Fault{DISP_E_OVERFLOW};
  }
  return static_cast<std::int32_t>(rounded);
}

std::optional<bool> CoerceToBoolean(const VARIANT& given) {
  VARIANT const v = Dereference(given);
  if (v.vt == VT_BOOL) return v.boolVal != VARIANT_FALSE;
  if (v.vt == VT_BSTR) {
    std::string const text = automation::FromBstr(v.bstrVal);
    std::string_view const trimmed = TrimSpaces(text);
    if (automation::EqualsIgnoringAsciiCase(trimmed, "true")) return true;
    if (automation::EqualsIgnoringAsciiCase(trimmed, "false")) return false;
  }
  std::optional<double> const number = CoerceToNumber(v);
  if (!number) return std::nullopt;
  return *number != 0.0;
}

std::optional<std::string> CoerceToText(const VARIANT& given) {
  VARIANT const v = Dereference(given);
  switch (v.vt) {
    case VT_BSTR: return automation::FromBstr(v.bstrVal);
    case VT_BOOL: return std::string(v.boolVal != VARIANT_FALSE ? "True" : "False");
    case VT_EMPTY: return std::string();
    case VT_R4:
    case VT_R8:
    case VT_DATE: return NumberText(*CoerceToNumber(v));
    default: break;
  }
  std::optional<double> const number = CoerceToNumber(v);
  if (!number) return std::nullopt;
  return NumberText(*number);
}

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
  VARIANT const v = Dereference(*args_[i]);
  return v.vt == VT_ERROR && v.scode == DISP_E_PARAMNOTFOUND;
}

const VARIANT& Request::Required(std::size_t i) const {
  if (Omitted(i)) throw Fault{DISP_E_PARAMNOTOPTIONAL, static_cast<int>(i)};
  return *args_[i];
}

VARIANT Request::Raw(std::size_t i) const { return Dereference(Required(i)); }

namespace {

template <class T>
T Converted(std::optional<T> (*coerce)(const VARIANT&), const VARIANT& v, std::size_t i) {
  std::optional<T> value;
  try {
    value = coerce(v);
  } catch (Fault fault) {
    fault.argument = static_cast<int>(i);
    throw fault;
  }
  if (!value) throw Fault{DISP_E_TYPEMISMATCH, static_cast<int>(i)};
  return *value;
}

}  // namespace

std::int32_t Request::Int32(std::size_t i) const { return Converted(&CoerceToInt32, Required(i), i); }
double Request::Number(std::size_t i) const { return Converted(&CoerceToNumber, Required(i), i); }
std::string Request::Text(std::size_t i) const { return Converted(&CoerceToText, Required(i), i); }
bool Request::Boolean(std::size_t i) const { return Converted(&CoerceToBoolean, Required(i), i); }

}  // namespace sheetapp
