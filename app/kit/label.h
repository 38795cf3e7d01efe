// A text label that sizes itself to its text, like the labels of the main
// window: whenever its text or font changes it takes the size of its text,
// keeping its top-left corner. Its colour is its font colour; it paints no
// background of its own, so it shows the window's.
#pragma once

#include "app/kit/control.h"
#include "app/kit/form.h"

class TLabel : public TControl {
 public:
  explicit TLabel(TForm* parent);

  void SetText(const std::string& text) override;

 protected:
  void FontChanged() override;

 private:
  void AdjustSize();
};
