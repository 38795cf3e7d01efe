// The base classes of the program's components, visual or not.
//
// A component belongs to its owner and is destroyed with it; it has a name
// and knows whether it is still being loaded from a stored layout, so that a
// property setter can tell layout loading apart from a later assignment.
// The HID layer's controller and the window's controls are components alike,
// and an event's Sender is the TObject that raised it.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;
};

class TComponent : public TObject {
 public:
  explicit TComponent(TComponent* AOwner) {
    if (AOwner != nullptr) AOwner->InsertComponent(this);
  }
  // Destroys the owned components, last first, then leaves the owner.
  ~TComponent() override {
    destroying_ = true;
    DestroyComponents();
    if (owner_ != nullptr) owner_->RemoveComponent(this);
  }

  TComponent* Owner() const { return owner_; }
  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int Index) const { return components_.at(static_cast<std::size_t>(Index)); }
  // The owned component of that name, or nullptr.
  TComponent* FindComponent(std::string_view Name) const {
    for (TComponent* component : components_)
      if (component->name_ == Name) return component;
    return nullptr;
  }

  const std::string& Name() const { return name_; }
  void SetName(const std::string& Value) { name_ = Value; }

  // Layout loading: the reader calls BeginLoading before it sets properties
  // and Loaded after; Loading() is true in between.
  bool Loading() const { return loading_; }
  void BeginLoading() { loading_ = true; }
  virtual void Loaded() { loading_ = false; }

  // True once destruction has begun.
  bool Destroying() const { return destroying_; }

 protected:
  // Derived destructors call this first, so that handlers and notifications
  // arriving during destruction can see it.
  void MarkDestroying() { destroying_ = true; }
  // Frees the owned components, last first. A derived destructor calls it
  // when they must go before something of its own (a control's children
  // before the window that holds them).
  void DestroyComponents() {
    // Each owned component removes itself from components_ while it is destroyed.
    while (!components_.empty()) delete components_.back();
  }

 private:
  void InsertComponent(TComponent* Component) {
    components_.push_back(Component);
    Component->owner_ = this;
  }
  void RemoveComponent(TComponent* Component) {
    auto it = std::find(components_.begin(), components_.end(), Component);
    if (it != components_.end()) components_.erase(it);
    Component->owner_ = nullptr;
  }

  TComponent* owner_ = nullptr;
  std::vector<TComponent*> components_;
  std::string name_;
  bool loading_ = false;
  bool destroying_ = false;
};
