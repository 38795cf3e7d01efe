// An owning reference to a COM object: one reference count held for as long
// as the ComRef lives, released exactly once.
#pragma once

#include <type_traits>
#include <utility>

namespace sheetapp {

template <class T>
class ComRef {
 public:
  ComRef() = default;
  // Takes over a reference the caller already holds (a freshly created
  // object's first one, for example).
  static ComRef Adopt(T* object) {
    ComRef ref;
    ref.object_ = object;
    return ref;
  }
  // Adds a reference of its own.
  static ComRef Share(T* object) {
    if (object != nullptr) object->AddRef();
    return Adopt(object);
  }

  ComRef(const ComRef& other) : object_(other.object_) {
    if (object_ != nullptr) object_->AddRef();
  }
  ComRef(ComRef&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  // A reference to a derived object serves as one to its base.
  template <class U>
  requires(std::is_convertible_v<U*, T*> && !std::is_same_v<U, T>) ComRef(ComRef<U> other)
  noexcept : object_(other.Detach()) {}
  ComRef& operator=(const ComRef&) = delete;
  ~ComRef() {
    if (object_ != nullptr) object_->Release();
  }

  T* operator->() const { return object_; }
  // Hands the reference over to the caller.
  T* Detach() { return std::exchange(object_, nullptr); }

 private:
  T* object_ = nullptr;
};

// A new object with its first reference owned by the result.
template <class T, class... A>
ComRef<T> MakeObject(A&&... args) {
  return ComRef<T>::Adopt(new T(std::forward<A>(args)...));
}

}  // namespace sheetapp
