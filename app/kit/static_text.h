// The status line: a framed static text of fixed size with centred text.
// Unlike a label it keeps its size whatever its text, paints its own
// background (it lies above the grid's last row) and never takes focus.
#pragma once

#include "app/kit/control.h"

class TStaticText : public TControl {
 public:
  explicit TStaticText(TForm* parent);
};
