// The window right after start-up: texts, colours, shape, order and wiring.
#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QScrollBar>
#include <set>
#include <string>
#include <vector>

#include "app/grid_address.h"
#include "hid/hid_controller.h"
#include "stopwatch/wire_format.h"
#include "tests/app/window_fixture.h"

namespace {

const QColor kBlue(0, 0, 255);

std::string ExpectedHeader(int col, int row) {
  if (col == 0 && row == 0) return " \u2116 измерения";
  if (row == 0) return col == 1 ? "" : "  +" + std::to_string(col - 1);
  return "     " + std::to_string(row - 1) + "0";
}

}  // namespace

TEST_F(StartedWindow, GridIsLabelledAndItsDataCellsAreEmpty) {
  ASSERT_EQ(grid.colCount(), 11);
  ASSERT_EQ(grid.rowCount(), 10);
  for (int col = 0; col < 11; ++col)
    for (int row = 0; row < 10; ++row) {
      const std::string expected = (col == 0 || row == 0) ? ExpectedHeader(col, row) : "";
      EXPECT_EQ(grid.cell(col, row), expected) << "cell (" << col << ", " << row << ")";
    }
  // Spot checks against the literal texts, leading spaces included.
  EXPECT_EQ(grid.cell(0, 1), "     00");
  EXPECT_EQ(grid.cell(0, 9), "     80");
  EXPECT_EQ(grid.cell(2, 0), "  +1");
  EXPECT_EQ(grid.cell(10, 0), "  +9");
  EXPECT_EQ(grid.cell(0, 0), " № измерения");
}

// The read-out's cells are the grid's visible data cells; its date and time
// land in cells the grid paints invisible.
TEST(MeasurementSlots, LandOnVisibleDataCellsAndTheStampOnHiddenOnes) {
  std::set<std::pair<int, int>> used;
  for (int slot = 0; slot < app::kSlotCount; ++slot) {
    const stopwatch::Cell cell = stopwatch::SlotCell(slot);
    EXPECT_FALSE(app::IsHeaderCell(cell.column, cell.row)) << slot;
    EXPECT_FALSE(app::IsHiddenCell(cell.column, cell.row)) << slot;
    used.insert({cell.column, cell.row});
  }
  EXPECT_EQ(used.size(), 84u);
  EXPECT_TRUE(app::IsHiddenCell(stopwatch::kReadDateCell.column, stopwatch::kReadDateCell.row));
  EXPECT_TRUE(app::IsHiddenCell(stopwatch::kReadTimeCell.column, stopwatch::kReadTimeCell.row));
}

TEST_F(StartedWindow, GridShapeFitsWithoutScrollBars) {
  EXPECT_EQ(grid.colWidth(0), 127);
  for (int col = 1; col < 11; ++col) EXPECT_EQ(grid.colWidth(col), 60) << col;
  for (int row = 0; row < 10; ++row) EXPECT_EQ(grid.rowHeight(row), 24) << row;
  EXPECT_EQ(grid.defaultColWidth(), 60);
  EXPECT_EQ(grid.gridLineWidth(), 1);
  // The last cell ends flush with the client area; its trailing line may not.
  EXPECT_EQ(grid.horizontalScrollBar()->maximum(), 0);
  EXPECT_EQ(grid.verticalScrollBar()->maximum(), 0);
  EXPECT_EQ(grid.cellRect(10, 9), QRect(677, 225, 60, 24));
}

TEST_F(StartedWindow, LabelsStatusLineAndButtonsShowTheirStartTexts) {
  const QColor windowText = form->palette().color(QPalette::WindowText);
  // No spreadsheet application is registered in this test program.
  EXPECT_EQ(form->Label1->text(), "MS EXCEL не установлен");
  EXPECT_EQ(form->Label1->fontColor(), kBlue);
  EXPECT_EQ(form->Label2->text(), "Секундомер не подключен");
  EXPECT_EQ(form->Label2->fontColor(), kBlue);
  EXPECT_EQ(form->Label39->text(), "ТАБЛИЦА ИЗМЕРЕНИЙ");
  EXPECT_EQ(form->Label39->fontColor(), windowText);
  EXPECT_EQ(form->Label40->text(), "(время, с)");
  EXPECT_EQ(form->Label40->fontColor(), windowText);
  EXPECT_FALSE(form->Label3->text().isEmpty());
  EXPECT_EQ(form->Label3->fontColor(), kBlue);
  EXPECT_EQ(form->Label4->text(), "Версия 1.0");
  EXPECT_EQ(form->Label4->fontColor(), windowText);
  EXPECT_TRUE(form->StaticText1->text().isEmpty());
  EXPECT_EQ(form->Button3->text(), "Считать данные");
  EXPECT_EQ(form->Button2->text(), "Сохранить в MS EXCEL");
  ASSERT_NE(form->HidCtl, nullptr);
  EXPECT_EQ(form->HidCtl->Name(), "HidCtl");
}

TEST_F(StartedWindow, CaptionDiffersFromTheApplicationTitle) {
  EXPECT_EQ(form->windowTitle(), "Lumetra");
  EXPECT_EQ(QApplication::applicationName(), "Lumetro");
  EXPECT_EQ(form->windowIconText(), "Lumetro");
  // The desktop entry's icon, drawn: its centre is the stopwatch's face.
  EXPECT_EQ(QGuiApplication::desktopFileName(), "ru.lumetra.lumetra");
  const QImage icon = form->windowIcon().pixmap(32, 32).toImage();
  ASSERT_EQ(icon.size(), QSize(32, 32));
  EXPECT_EQ(icon.pixelColor(12, 12), QColor(Qt::white));
  EXPECT_EQ(icon.pixelColor(0, 0).alpha(), 0);
}

TEST_F(StartedWindow, WindowBackgroundIsButtonFaceAndLabelsShowIt) {
  const QColor buttonFace = form->palette().color(QPalette::Button);
  EXPECT_EQ(form->palette().color(QPalette::Window), buttonFace);
  for (TLabel* label : {form->Label1, form->Label2, form->Label39, form->Label40, form->Label3, form->Label4})
    EXPECT_FALSE(label->autoFillBackground()) << label->objectName().toStdString();
  // The status line paints its own background: it must hide the grid under it.
  EXPECT_TRUE(form->StaticText1->autoFillBackground());
  EXPECT_EQ(form->StaticText1->palette().color(QPalette::Window), buttonFace);
}

TEST_F(StartedWindow, TabCyclesGridThenSaveThenReadButton) {
  std::vector<QWidget*> stops;
  QWidget* w = &grid;
  do {
    w = w->nextInFocusChain();
    if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->window() == form.get()) stops.push_back(w);
  } while (w != &grid && stops.size() < 10);
  EXPECT_EQ(stops, (std::vector<QWidget*>{form->Button2, form->Button3, &grid}));
  EXPECT_EQ(form->StaticText1->focusPolicy(), Qt::NoFocus);
  for (TButton* button : {form->Button2, form->Button3}) {
    EXPECT_FALSE(button->isDefault());
    EXPECT_FALSE(button->autoDefault());
  }
}

TEST_F(StartedWindow, ControlsSitWhereTheLayoutPutsThem) {
  EXPECT_EQ(form->pos(), QPoint(145, 100));
  EXPECT_EQ(form->size(), QSize(774, 523));
  EXPECT_EQ(grid.geometry(), QRect(16, 80, 741, 253));
  EXPECT_EQ(form->StaticText1->geometry(), QRect(389, 306, 368, 27));
  EXPECT_EQ(form->Button3->geometry(), QRect(504, 352, 193, 25));
  EXPECT_EQ(form->Button2->geometry(), QRect(504, 400, 193, 25));
  // Labels keep their top-left corner and take the size of their text.
  const std::vector<std::pair<TLabel*, QPoint>> labels = {
      {form->Label39, {224, 8}}, {form->Label40, {312, 40}}, {form->Label2, {80, 352}},
      {form->Label1, {80, 400}}, {form->Label3, {292, 464}}, {form->Label4, {344, 488}}};
  for (const auto& [label, corner] : labels) {
    EXPECT_EQ(label->pos(), corner) << label->objectName().toStdString();
    EXPECT_EQ(label->size(), label->sizeHint()) << label->objectName().toStdString();
  }
  // The status line lies above the grid's last row from column 5 on.
  const QPoint inHiddenCell = grid.geometry().topLeft() + QPoint(2, 2) + grid.cellRect(7, 9).center();
  EXPECT_EQ(form->childAt(inHiddenCell), form->StaticText1);
  EXPECT_EQ(QRect(form->StaticText1->geometry()).bottomRight(), grid.geometry().bottomRight());
}

TEST_F(StartedWindow, FontsAreThoseOfTheLayout) {
  struct Expected {
    QWidget* widget;
    QString family;
    int pixels;
    bool italic;
  };
  const std::vector<Expected> fonts = {
      {form.get(), "Arial", 11, false},          {form->Label39, "Arial", 27, false},
      {form->Label40, "Arial", 27, true},        {form->Label2, "Arial", 21, false},
      {form->Label1, "Arial", 21, false},        {form->Label3, "Arial", 11, false},
      {form->Label4, "Arial", 11, false},        {form->Button2, "Arial", 16, false},
      {form->Button3, "Arial", 16, false},       {form->StaticText1, "Arial", 16, false},
      {&grid, "Courier", 13, false},
  };
  for (const Expected& e : fonts) {
    const QFont font = e.widget->font();
    const std::string name = e.widget->objectName().toStdString();
    EXPECT_EQ(font.family(), e.family) << name;
    EXPECT_EQ(font.pixelSize(), e.pixels) << name;
    EXPECT_EQ(font.italic(), e.italic) << name;
    EXPECT_FALSE(font.bold()) << name;
  }
  EXPECT_TRUE(QFontInfo(grid.font()).fixedPitch());
  // Where the machine lacks a family of the layout, the window draws with the
  // metric-compatible one the program installs, not with whatever else the
  // desktop has: the same look on every machine.
  for (const auto& [family, replacement] : {std::pair{"Arial", "Liberation Sans"}, {"Courier", "Liberation Mono"}}) {
    const QString drawn = QFontInfo(QFont(family)).family();
    EXPECT_EQ(drawn, QFontDatabase::hasFamily(family) ? QString(family) : QString(replacement)) << family;
  }
}

TEST_F(StartedWindow, ComponentsAreCreatedInLayoutOrder) {
  std::vector<QString> names;
  for (QObject* child : form->children())
    if (!child->objectName().isEmpty()) names.push_back(child->objectName());
  EXPECT_EQ(names, (std::vector<QString>{"Label1", "Label2", "Label39", "Label40", "Label3", "Label4", "StringGrid1",
                                         "Button2", "Button3", "StaticText1", "SaveDialog1"}));
}

TEST_F(StartedWindow, ClosingIsAllowed) {
  form->show();
  EXPECT_TRUE(form->close());
  EXPECT_FALSE(form->isVisible());
}
