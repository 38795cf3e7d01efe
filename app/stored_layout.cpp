#include "app/stored_layout.h"

#include <stdexcept>
#include <string>
#include <vector>

#include "app/kit/button.h"
#include "app/kit/form.h"
#include "app/kit/label.h"
#include "app/kit/paint_box.h"
#include "app/kit/static_text.h"
#include "app/kit/string_grid.h"

namespace app {
namespace {

TFont MakeFont(const FontLayout& layout) {
  TFont font(layout.name, layout.height, layout.style, layout.color);
  font.SetPitch(layout.pitch);
  font.SetCharset(RUSSIAN_CHARSET);
  return font;
}

TControl* CreateControl(TForm& form, const ControlLayout& layout) {
  switch (layout.kind) {
    case ControlKind::Label: return new TLabel(&form);
    case ControlKind::Button: return new TButton(&form);
    case ControlKind::StaticText: return new TStaticText(&form);
    case ControlKind::PaintBox: return new TPaintBox(&form);
    case ControlKind::StringGrid: {
      auto* grid = new TStringGrid(&form);
      grid->SetColCount(layout.grid.colCount);
      grid->SetRowCount(layout.grid.rowCount);
      grid->SetDefaultColWidth(layout.grid.defaultColWidth);
      grid->SetDefaultRowHeight(layout.grid.defaultRowHeight);
      grid->SetGridLineWidth(layout.grid.gridLineWidth);
      return grid;
    }
  }
  throw std::logic_error("unknown control kind");
}

}  // namespace

void LoadLayout(TForm& form, const FormLayout& layout) {
  form.SetFont(MakeFont(layout.font));
  form.SetCaption(layout.caption);
  form.SetPlacement(layout.placement);
  for (const ControlLayout& entry : layout.controls) {
    TControl* control = CreateControl(form, entry);
    control->SetName(entry.name);
    control->SetBoundsRect(entry.bounds);
    if (entry.font) control->SetFont(MakeFont(*entry.font));
    control->SetText(entry.text);
  }
  std::vector<TControl*> order;
  for (const char* name : layout.tabOrder) order.push_back(dynamic_cast<TControl*>(form.FindComponent(name)));
  form.SetTabOrder(order);
}

}  // namespace app
