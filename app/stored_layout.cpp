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
  font.setPitch(layout.pitch);
  font.setCharset(RUSSIAN_CHARSET);
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
      grid->setColCount(layout.grid.colCount);
      grid->setRowCount(layout.grid.rowCount);
      grid->setDefaultColWidth(layout.grid.defaultColWidth);
      grid->setDefaultRowHeight(layout.grid.defaultRowHeight);
      grid->setGridLineWidth(layout.grid.gridLineWidth);
      return grid;
    }
  }
  throw std::logic_error("unknown control kind");
}

}  // namespace

void LoadLayout(TForm& form, const FormLayout& layout) {
  form.setFont(MakeFont(layout.font));
  form.setCaption(layout.caption);
  form.setPlacement(layout.placement);
  for (const ControlLayout& entry : layout.controls) {
    TControl* control = CreateControl(form, entry);
    control->SetName(entry.name);
    control->setBoundsRect(entry.bounds);
    if (entry.font) control->setFont(MakeFont(*entry.font));
    control->setText(entry.text);
  }
  std::vector<TControl*> order;
  for (const char* name : layout.tabOrder) order.push_back(dynamic_cast<TControl*>(form.FindComponent(name)));
  form.setTabOrder(order);
}

}  // namespace app
