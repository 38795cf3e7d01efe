// The base of the HID layer's components.
#pragma once

#include "base/component.h"

class TJvComponent : public TComponent {
 public:
  using TComponent::TComponent;
};
