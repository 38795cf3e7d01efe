// An automation variant with value semantics: copying adds a reference (or
// duplicates the string), destruction and Clear release it. Results of
// late-bound calls come back as OleVariants, so every temporary object of a
// call chain is released when the statement that made it ends, whether it
// ends normally or by an exception.
//
// Call chains read as the member calls they make:
//
//   OleVariant sheet = link.Call("WorkSheets").Get("Item", 1);
//   sheet.Get("Range", "A1:K11", Omitted()).Call("Borders").Put("LineStyle", 1);
//   sheet.Put("Cells", 1, 1, "text");
//   link.Exec("Quit");
//
// Call: a method whose result is used; Exec: a method without result; Get:
// a property read; Put: a property write whose last argument is the value.
// Arguments are text (const char*, std::string), 32-bit int, bool, double,
// Int16(...) and Omitted().
#pragma once

#include <initializer_list>
#include <string_view>
#include <utility>

#include "export/automation/call_argument.h"
#include "export/automation/com_types.h"
#include "export/automation/dispatch_call.h"

namespace automation {

class OleVariant {
 public:
  OleVariant() noexcept { VariantInit(&value_); }
  // Holds a new reference to `dispatch` (empty for null).
  explicit OleVariant(IDispatch* dispatch) noexcept;
  OleVariant(const OleVariant& other);
  OleVariant(OleVariant&& other) noexcept : value_(other.value_) { VariantInit(&other.value_); }
  // Releases what this held before it takes the new value.
  OleVariant& operator=(const OleVariant& other);
  OleVariant& operator=(OleVariant&& other) noexcept;
  ~OleVariant() { VariantClear(&value_); }

  void Clear() noexcept { VariantClear(&value_); }
  bool IsEmpty() const { return value_.vt == VT_EMPTY; }
  VARTYPE Type() const { return value_.vt; }
  const VARIANT& Raw() const { return value_; }
  // Clears the variant and lends it out to be filled (an out parameter).
  VARIANT* Receive() noexcept {
    VariantClear(&value_);
    return &value_;
  }
  // The object held, without a new reference; null unless VT_DISPATCH.
  IDispatch* Dispatch() const { return value_.vt == VT_DISPATCH ? value_.pdispVal : nullptr; }

  // Boolean value: empty is false, 16- and 32-bit integers and doubles are
  // true when not zero, texts "True"/"False" or a number. Anything else
  // raises EVariantTypeCastError.
  bool ToBool() const;

  template <class... A>
  [[nodiscard]] OleVariant Call(std::string_view name, A&&... args) const {
    return Perform(CallKind::Method, name, {Arg{std::forward<A>(args)}...});
  }
  template <class... A>
  void Exec(std::string_view name, A&&... args) const {
    PerformWithoutResult(CallKind::Method, name, {Arg{std::forward<A>(args)}...});
  }
  template <class... A>
  [[nodiscard]] OleVariant Get(std::string_view name, A&&... args) const {
    return Perform(CallKind::PropertyGet, name, {Arg{std::forward<A>(args)}...});
  }
  template <class... A>
  void Put(std::string_view name, A&&... args) const {
    static_assert(sizeof...(A) >= 1, "a property write needs its value");
    PerformWithoutResult(CallKind::PropertyPut, name, {Arg{std::forward<A>(args)}...});
  }

 private:
  OleVariant Perform(CallKind kind, std::string_view name, std::initializer_list<Arg> args) const;
  void PerformWithoutResult(CallKind kind, std::string_view name, std::initializer_list<Arg> args) const;

  VARIANT value_;
};

}  // namespace automation
