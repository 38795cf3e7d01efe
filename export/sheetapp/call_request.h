// One member call as the built-in spreadsheet receives it through
// IDispatch::Invoke: how it was invoked, its arguments in the caller's order,
// and the values the members take from them.
//
// Each argument must come in the kind the measurement export sends it: a
// text as VT_BSTR, an integer as VT_I4 or VT_I2, a number as either of those
// or VT_R8, a Boolean as VT_BOOL. Any other kind raises
// Fault{DISP_E_TYPEMISMATCH} naming the argument.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "export/automation/com_types.h"

namespace sheetapp {

// A refusal that is answered with a result code (and not with an exception
// record). `argument` is the caller-order index of the offending argument,
// or -1.
struct Fault {
  HRESULT code;
  int argument = -1;
};

class Request {
 public:
  // Raises Fault for named arguments other than the value of a property
  // write (DISP_E_NONAMEDARGS) and for a property write without its value
  // (DISP_E_PARAMNOTOPTIONAL).
  Request(WORD flags, const DISPPARAMS& params);

  bool IsPut() const { return put_; }
  WORD Flags() const { return flags_; }

  // Positional arguments, the value of a property write not counted.
  std::size_t Count() const { return positional_; }
  // Raises Fault{DISP_E_BADPARAMCOUNT} unless min <= Count() <= max.
  void ExpectCount(std::size_t min, std::size_t max) const;

  // True when argument `i` was not given, or given as the omitted-argument
  // marker (VT_ERROR holding DISP_E_PARAMNOTFOUND, directly or by reference).
  bool Omitted(std::size_t i) const;
  // Argument `i` is required: Fault{DISP_E_PARAMNOTOPTIONAL} when omitted.
  std::int32_t Int32(std::size_t i) const;
  double Number(std::size_t i) const;
  std::string Text(std::size_t i) const;
  bool Boolean(std::size_t i) const;

  // The value of a property write, taken likewise.
  std::int32_t ValueInt32() const { return Int32(positional_); }
  double ValueNumber() const { return Number(positional_); }
  std::string ValueText() const { return Text(positional_); }
  bool ValueBoolean() const { return Boolean(positional_); }
  // The value itself (a shallow view: it owns nothing and must not be cleared).
  VARIANT ValueRaw() const { return Required(positional_); }

 private:
  const VARIANT& Required(std::size_t i) const;

  WORD flags_;
  bool put_;
  std::size_t positional_;
  std::vector<const VARIANT*> args_;  // caller's order; a write's value last
};

}  // namespace sheetapp
