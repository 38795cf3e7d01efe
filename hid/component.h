// The base classes of the layer's non-visual components.
//
// A component belongs to its owner and is destroyed with it; it has a name
// and knows whether it is still being loaded from a stored layout, so that a
// property setter can tell layout loading apart from a later assignment.
#pragma once

#include <string>
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
  explicit TComponent(TComponent* AOwner);
  // Destroys the owned components, last first, then leaves the owner.
  ~TComponent() override;

  TComponent* Owner() const { return FOwner; }
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  TComponent* Components(int Index) const { return FComponents.at(static_cast<std::size_t>(Index)); }

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

 private:
  void InsertComponent(TComponent* Component);
  void RemoveComponent(TComponent* Component);

  TComponent* FOwner = nullptr;
  std::vector<TComponent*> FComponents;
  std::string FName;
  bool FLoading = false;
  bool FDestroying = false;
};

// The base of the HID layer's components.
class TJvComponent : public TComponent {
 public:
  using TComponent::TComponent;
};
