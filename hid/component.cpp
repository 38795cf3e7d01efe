#include "hid/component.h"

#include <algorithm>

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner != nullptr) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  FDestroying = true;
  // Each owned component removes itself from FComponents while it is destroyed.
  while (!FComponents.empty()) {
    TComponent* last = FComponents.back();
    delete last;
  }
  if (FOwner != nullptr) FOwner->RemoveComponent(this);
}

void TComponent::InsertComponent(TComponent* Component) {
  FComponents.push_back(Component);
  Component->FOwner = this;
}

void TComponent::RemoveComponent(TComponent* Component) {
  auto it = std::find(FComponents.begin(), FComponents.end(), Component);
  if (it != FComponents.end()) FComponents.erase(it);
  Component->FOwner = nullptr;
}
