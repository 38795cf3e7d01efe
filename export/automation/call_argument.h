// One positional argument of a late-bound member call, in the kinds the
// program passes: text, 32-bit integer, 16-bit integer, Boolean, double, and
// the omitted-argument marker.
#pragma once

#include <cstdint>
#include <string>

#include "export/automation/com_types.h"

namespace automation {

class Arg {
 public:
  enum class Kind { Text, Int32, Int16, Bool, Double, Omitted };

  Arg(const char* text) : kind_(Kind::Text), text_(text) {}
  Arg(const std::string& text) : kind_(Kind::Text), text_(text) {}
  Arg(std::int32_t value) : kind_(Kind::Int32), int_(value) {}
  Arg(bool value) : kind_(Kind::Bool), bool_(value) {}
  Arg(double value) : kind_(Kind::Double), double_(value) {}

  // Any other type (long, short, float, char, unsigned...) would pick a
  // kind by accident; the caller states it instead (Int16, a cast).
  template <class T>
  Arg(T) = delete;

  // 16-bit integers are never implied: the server may treat VT_I2 and VT_I4
  // differently, so the caller says so.
  static Arg Int16(std::int16_t value) {
    Arg arg(std::int32_t{value});
    arg.kind_ = Kind::Int16;
    return arg;
  }
  static Arg Omitted() { return Arg(Kind::Omitted); }

  Kind KindOf() const { return kind_; }
  const std::string& Text() const { return text_; }
  std::int32_t Int32() const { return int_; }
  std::int16_t Int16() const { return static_cast<std::int16_t>(int_); }
  bool Boolean() const { return bool_; }
  double Number() const { return double_; }

 private:
  explicit Arg(Kind kind) : kind_(kind) {}

  Kind kind_;
  std::string text_;
  std::int32_t int_ = 0;
  bool bool_ = false;
  double double_ = 0.0;
};

// The argument that stands for an optional parameter left out.
inline Arg Omitted() { return Arg::Omitted(); }
inline Arg Int16(std::int16_t value) { return Arg::Int16(value); }

// The program-wide omitted-argument marker: VT_ERROR holding
// DISP_E_PARAMNOTFOUND, set up once and never changed. Calls pass it by
// reference (VT_BYREF | VT_VARIANT).
VARIANT& OmittedMarker();

}  // namespace automation
