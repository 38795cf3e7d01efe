// Method pointers: a function together with the object it is called on.
//
// Event handlers of the HID layer are method pointers, possibly unassigned.
// Two of them can be compared by their function alone, whatever objects they
// are bound to: the controller's setters decide by that whether a new handler
// replaces the one devices still share with the controller. std::function
// cannot be compared, so this small type keeps the function in a comparable
// form: the address of a call stub made for the member function's class and
// type, plus the bytes of the member function pointer itself.
#pragma once

#include <cstddef>
#include <cstring>
#include <type_traits>
#include <utility>

template <typename Signature>
class TMethod;

template <typename R, typename... Args>
class TMethod<R(Args...)> {
 public:
  TMethod() noexcept = default;
  TMethod(std::nullptr_t) noexcept {}

  // Binds a member function of M to an object of M or of a class derived from it.
  template <class C, class M>
  requires std::is_base_of_v<M, C> TMethod(C* object, R (M::*function)(Args...))
  noexcept {
    using Pointer = R (M::*)(Args...);
    Bind(static_cast<M*>(object), &InvokeMember<M, Pointer>, function);
  }

  template <class C, class M>
  requires std::is_base_of_v<M, C> TMethod(const C* object, R (M::*function)(Args...) const)
  noexcept {
    using Pointer = R (M::*)(Args...) const;
    Bind(const_cast<M*>(static_cast<const M*>(object)), &InvokeConstMember<M, Pointer>, function);
  }

  // Binds a plain function that receives the object as its first argument.
  TMethod(void* object, R (*function)(void*, Args...)) noexcept {
    if (function != nullptr) Bind(object, &InvokeFree, function);
  }

  bool Assigned() const noexcept { return invoke_ != nullptr; }
  explicit operator bool() const noexcept { return Assigned(); }

  // The object the handler is called on.
  void* Data() const noexcept { return data_; }

  // True when both call the same function (both unassigned counts as the same).
  bool SameFunction(const TMethod& other) const noexcept {
    return invoke_ == other.invoke_ && std::memcmp(code_, other.code_, sizeof code_) == 0;
  }
  // Same function and same object.
  bool SameMethod(const TMethod& other) const noexcept { return SameFunction(other) && data_ == other.data_; }

  // Calling an unassigned handler does nothing (and yields a value-initialised result).
  R operator()(Args... args) const {
    if (invoke_ == nullptr) {
      if constexpr (std::is_void_v<R>) {
        return;
      } else {
        return R{};
      }
    }
    return invoke_(data_, code_, std::forward<Args>(args)...);
  }

 private:
  using Invoker = R (*)(void*, const unsigned char*, Args...);
  // Large enough for a member function pointer on every ABI we build for.
  static constexpr std::size_t kCodeSize = 3 * sizeof(void*);

  template <class Pointer>
  void Bind(void* object, Invoker invoke, Pointer function) noexcept {
    static_assert(sizeof(Pointer) <= kCodeSize, "member function pointer too large");
    static_assert(std::is_trivially_copyable_v<Pointer>);
    data_ = object;
    invoke_ = invoke;
    std::memcpy(code_, &function, sizeof function);
  }

  // The calls below go through a member function pointer copied out of
  // storage, so the compiler keeps the virtual-call path that reads a vtable
  // pointer from the object; for a small class without one GCC then warns
  // about a read it can never make.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
#endif
  template <class M, class Pointer>
  static R InvokeMember(void* object, const unsigned char* code, Args... args) {
    Pointer function;
    std::memcpy(&function, code, sizeof function);
    return (static_cast<M*>(object)->*function)(std::forward<Args>(args)...);
  }

  template <class M, class Pointer>
  static R InvokeConstMember(void* object, const unsigned char* code, Args... args) {
    Pointer function;
    std::memcpy(&function, code, sizeof function);
    return (static_cast<const M*>(object)->*function)(std::forward<Args>(args)...);
  }

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

  static R InvokeFree(void* object, const unsigned char* code, Args... args) {
    R (*function)(void*, Args...);
    std::memcpy(&function, code, sizeof function);
    return function(object, std::forward<Args>(args)...);
  }

  void* data_ = nullptr;
  Invoker invoke_ = nullptr;
  alignas(void*) unsigned char code_[kCodeSize] = {};
};
