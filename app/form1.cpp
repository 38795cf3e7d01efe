#include "app/form1.h"

#include <functional>

#include "app/button.h"
#include "app/grid_address.h"
#include "app/label.h"
#include "app/measurement_grid.h"
#include "app/save_dialog.h"
#include "app/static_text.h"
#include "app/string_grid.h"
#include "ui_form1.h"

namespace {

// Width of the header column, wide enough for " № измерения".
constexpr int kHeaderColumnWidth = 127;

}  // namespace

TForm1::TForm1(QWidget* parent) : TForm(parent) {
  // The stored layout creates the controls in this order: Label1, Label2,
  // Label39, Label40, Label3, Label4, StringGrid1, Button2, Button3, StaticText1.
  Ui::TForm1 layout;
  layout.setupUi(this);
  StringGrid1 = layout.StringGrid1;
  Label1 = layout.Label1;
  Button2 = layout.Button2;
  Button3 = layout.Button3;
  Label2 = layout.Label2;
  Label39 = layout.Label39;
  StaticText1 = layout.StaticText1;
  Label40 = layout.Label40;
  Label3 = layout.Label3;
  Label4 = layout.Label4;
  // The status line covers the grid's last row from column 5 on.
  StaticText1->raise();

  SaveDialog1 = new TSaveDialog(this);
  SaveDialog1->setObjectName(QStringLiteral("SaveDialog1"));
  SaveDialog1->setDefaultExt(QStringLiteral("xls"));
  SaveDialog1->setFilter(QStringLiteral("Таблица (*.xls)|*.xls"));
  SaveDialog1->setOverwritePrompt(false);

  WireEvents();
  DoCreate();
}

TForm1::~TForm1() = default;

void TForm1::WireEvents() {
  OnCreate = std::bind_front(&TForm1::FormCreate, this);
  OnCloseQuery = std::bind_front(&TForm1::FormCloseQuery, this);
  StringGrid1->OnDrawCell = std::bind_front(&TForm1::StringGrid1DrawCell, this);
  Button2->OnClick = std::bind_front(&TForm1::Button2Click, this);
  Button3->OnClick = std::bind_front(&TForm1::Button3Click, this);
  // HidCtl: OnArrival -> HidCtlArrival, OnEnumerate -> HidCtlEnumerate,
  // OnRemoval -> HidCtlRemoval, once the controller is created above.
}

void TForm1::FormCreate(QObject*) {
  app::LabelMeasurementGrid(*StringGrid1);
  StringGrid1->setColWidth(0, kHeaderColumnWidth);
}

bool TForm1::CheckExcelInstall() { return false; }

void TForm1::Button2Click(QObject*) {}

void TForm1::FormCloseQuery(QObject*, bool& CanClose) { CanClose = true; }

void TForm1::HidCtlArrival(TJvHidDevice*) {}

bool TForm1::HidCtlEnumerate(TJvHidDevice*, const std::int32_t) { return true; }

void TForm1::HidCtlRemoval(TJvHidDevice*) {}

void TForm1::Button3Click(QObject*) {}

void TForm1::StringGrid1DrawCell(QObject*, int ACol, int ARow, const QRect& Rect, TGridDrawState) {
  TCanvas& canvas = StringGrid1->canvas();
  const QString text = QString::fromStdString(StringGrid1->cell(ACol, ARow));
  if (app::IsHeaderCell(ACol, ARow)) {
    canvas.font.setColor(clMaroon);
    canvas.font.setSize(13);
    canvas.font.setStyle(fsBold);
    canvas.brush.setColor(clYellow);
    canvas.fillRect(Rect);
    canvas.textOut(Rect.left(), Rect.top(), text);
  }
  if (app::IsHiddenCell(ACol, ARow)) {
    // Text on its own colour: the cell shows as window background.
    const QColor buttonFace = StringGrid1->palette().color(QPalette::Button);
    canvas.font.setColor(buttonFace);
    canvas.brush.setColor(buttonFace);
    canvas.fillRect(Rect);
    canvas.textOut(Rect.left(), Rect.top(), text);
  }
}
