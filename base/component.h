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
    FDestroying = true;
    DestroyComponents();
    if (FOwner != nullptr) FOwner->RemoveComponent(this);
  }

  TComponent* Owner() const { return FOwner; }
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  TComponent* Components(int Index) const { return FComponents.at(static_cast<std::size_t>(Index)); }
  // The owned component of that name, or nullptr.
  TComponent* FindComponent(std::string_view Name) const {
    for (TComponent* component : FComponents)
      if (component->FName == Name) return component;
    return nullptr;
  }

  const std::string& Name() const { return FName; }
  void SetName(const std::string& Value) { FName = Value; }

  // Layout loading: the reader calls BeginLoading before it sets properties
  // and Loaded after; Loading() is true in between.
  bool Loading() const { return FLoading; }
  void BeginLoading() { FLoading = true; }
  virtual void Loaded() { FLoading = false; }

  // True once destruction has begun.
  bool Destroying() const { return FDestroying; }

 protected:
  // Derived destructors call this first, so that handlers and notifications
  // arriving during destruction can see it.
  void MarkDestroying() { FDestroying = true; }
  // Frees the owned components, last first. A derived destructor calls it
  // when they must go before something of its own (a control's children
  // before the window that holds them).
  void DestroyComponents() {
    // Each owned component removes itself from FComponents while it is destroyed.
    while (!FComponents.empty()) delete FComponents.back();
  }

 private:
  void InsertComponent(TComponent* Component) {
    FComponents.push_back(Component);
    Component->FOwner = this;
  }
  void RemoveComponent(TComponent* Component) {
    auto it = std::find(FComponents.begin(), FComponents.end(), Component);
    if (it != FComponents.end()) FComponents.erase(it);
    Component->FOwner = nullptr;
  }

  TComponent* FOwner = nullptr;
  std::vector<TComponent*> FComponents;
  std::string FName;
  bool FLoading = false;
  bool FDestroying = false;
};
