// A window's stored layout: the controls it holds, in creation order, with
// their places, fonts, texts and colours, as one table that every toolkit
// builds the window from. Event wiring is the window's own (by name, in its
// constructor), not the layout's.
#pragma once

#include <optional>
#include <span>

#include "base/component.h"

#include "app/kit/backend.h"

class TForm;

namespace app {

enum class ControlKind { Label, Button, StaticText, StringGrid, PaintBox };

struct FontLayout {
  const char* name;
  int height;  // character height in layout pixels
  TFontStyles style = 0;
  TColor color = clWindowText;
  TFontPitch pitch = TFontPitch::fpDefault;
};

struct GridLayout {
  int colCount = 5;
  int rowCount = 5;
  int defaultColWidth = 64;
  int defaultRowHeight = 24;
  int gridLineWidth = 1;
};

struct ControlLayout {
  ControlKind kind;
  const char* name;
  TRect bounds;                    // in the window's client area
  std::optional<FontLayout> font;  // none: the window's font
  const char* text = "";
  GridLayout grid = {};  // string grids only
};

struct FormLayout {
  const char* caption;
  kit::WindowPlacement placement;
  FontLayout font;
  std::span<const ControlLayout> controls;  // in creation order
  std::span<const char* const> tabOrder;    // names, first stop first
};

// Creates the layout's controls as components of `form`, in layout order,
// and gives the form and each control its properties.
void LoadLayout(TForm& form, const FormLayout& layout);

// A control the layout made, by its name; nullptr when the form holds none
// of that name and kind.
template <typename Control>
Control* FindControl(const TComponent& form, const char* name) {
  return dynamic_cast<Control*>(form.FindComponent(name));
}

}  // namespace app
