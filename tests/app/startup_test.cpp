// The window right after start-up: texts, colours, shape, order and wiring.
#include <set>
#include <string>
#include <vector>

#include "app/form1_layout.h"
#include "hid/hid_controller.h"
#include "stopwatch/measurement_table.h"
#include "tests/app/support/native_ui.h"
#include "tests/app/window_fixture.h"
#include "tests/support/pixels.h"

namespace {

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
  for (int slot = 0; slot < stopwatch::kSlotCount; ++slot) {
    const stopwatch::Cell cell = stopwatch::SlotCell(slot);
    EXPECT_FALSE(stopwatch::IsHeaderCell(cell.column, cell.row)) << slot;
    EXPECT_FALSE(stopwatch::IsHiddenCell(cell.column, cell.row)) << slot;
    used.insert({cell.column, cell.row});
  }
  EXPECT_EQ(used.size(), 84u);
  EXPECT_TRUE(stopwatch::IsHiddenCell(stopwatch::kReadDateCell.column, stopwatch::kReadDateCell.row));
  EXPECT_TRUE(stopwatch::IsHiddenCell(stopwatch::kReadTimeCell.column, stopwatch::kReadTimeCell.row));
}

TEST_F(StartedWindow, GridShapeFitsWithoutScrollBars) {
  EXPECT_EQ(grid.colWidth(0), 127);
  for (int col = 1; col < 11; ++col) EXPECT_EQ(grid.colWidth(col), 60) << col;
  for (int row = 0; row < 10; ++row) EXPECT_EQ(grid.rowHeight(row), 24) << row;
  EXPECT_EQ(grid.defaultColWidth(), 60);
  EXPECT_EQ(grid.gridLineWidth(), 1);
  // The last cell ends flush with the client area; its trailing line may not.
  EXPECT_EQ(grid.scrollMaximum(kit::ScrollBar::Horizontal), 0);
  EXPECT_EQ(grid.scrollMaximum(kit::ScrollBar::Vertical), 0);
  EXPECT_EQ(grid.cellRect(10, 9), Bounds(677, 225, 60, 24));
}

TEST_F(StartedWindow, LabelsStatusLineAndButtonsShowTheirStartTexts) {
  // No spreadsheet application is registered in this test program.
  EXPECT_EQ(form->Label1->text(), "MS EXCEL не установлен");
  EXPECT_EQ(form->Label1->fontColor(), clBlue);
  EXPECT_EQ(form->Label2->text(), "Секундомер не подключен");
  EXPECT_EQ(form->Label2->fontColor(), clBlue);
  EXPECT_EQ(form->Label39->text(), "ТАБЛИЦА ИЗМЕРЕНИЙ");
  EXPECT_EQ(form->Label39->fontColor(), clWindowText);
  EXPECT_EQ(form->Label40->text(), "(время, с)");
  EXPECT_EQ(form->Label40->fontColor(), clWindowText);
  EXPECT_FALSE(form->Label3->text().empty());
  EXPECT_EQ(form->Label3->fontColor(), clBlue);
  EXPECT_EQ(form->Label4->text(), "Версия 1.0");
  EXPECT_EQ(form->Label4->fontColor(), clWindowText);
  EXPECT_TRUE(form->StaticText1->text().empty());
  EXPECT_EQ(form->Button3->text(), "Считать данные");
  EXPECT_EQ(form->Button2->text(), "Сохранить в MS EXCEL");
  ASSERT_NE(form->HidCtl, nullptr);
  EXPECT_EQ(form->HidCtl->Name(), "HidCtl");
}

TEST_F(StartedWindow, CaptionDiffersFromTheTaskBarText) {
  EXPECT_EQ(form->caption(), "Lumetra");
  EXPECT_EQ(kit::ApplicationTitle(), "Lumetro");
  EXPECT_EQ(form->taskBarText(), "Lumetro");
  // The desktop entry's icon, drawn: its centre is the stopwatch's face.
  const kit::Image icon = form->icon(32);
  ASSERT_EQ(icon.rect(), Bounds(0, 0, 32, 32));
  EXPECT_EQ(icon.pixel(12, 12), clWhite);
  EXPECT_EQ(icon.alpha(12, 12), 255);
  EXPECT_EQ(icon.alpha(0, 0), 0);
}

// The window is button face; the labels show it around their text, and the
// status line paints it over the grid's last row, grid lines and all.
TEST_F(StartedWindow, WindowBackgroundIsButtonFaceAndLabelsShowIt) {
  const TColor face = ColorToRGB(clBtnFace);
  const kit::Image window = form->grab();
  EXPECT_EQ(window.pixel(4, 4), face);
  for (TLabel* label : {form->Label1, form->Label2, form->Label39, form->Label40, form->Label3, form->Label4}) {
    const kit::Image shown = label->grab();
    EXPECT_EQ(shown.pixel(0, 0), face) << label->Name();
    EXPECT_GT(CountPixels(shown, shown.rect(), [&](TColor c) { return c == face; }), shown.width()) << label->Name();
  }
  const TRect status = form->StaticText1->boundsRect().Inflate(-2, -2);
  EXPECT_EQ(CountPixels(window, status, [&](TColor c) { return c != face; }), 0);
}

TEST_F(StartedWindow, TabCyclesGridThenSaveThenReadButton) {
  EXPECT_EQ(form->tabCycle(&grid), (std::vector<TControl*>{form->Button2, form->Button3, &grid}));
  grid.setFocus();
  nativeui::PressKey(grid, kit::key::Tab);
  EXPECT_TRUE(form->Button2->hasFocus());
  nativeui::PressKey(*form->Button2, kit::key::Tab);
  EXPECT_TRUE(form->Button3->hasFocus());
  nativeui::PressKey(*form->Button3, kit::key::Tab);
  EXPECT_TRUE(grid.hasFocus());
  EXPECT_FALSE(form->StaticText1->tabStop());
  // Enter and Space on the buttons: tests/app/kit/button_test.cpp.
}

TEST_F(StartedWindow, ControlsSitWhereTheLayoutPutsThem) {
  EXPECT_EQ(form->frameRect().TopLeft(), (TPoint{145, 100}));
  EXPECT_EQ(form->clientSize(), (TSize{774, 523}));
  EXPECT_EQ(grid.boundsRect(), Bounds(16, 80, 741, 253));
  EXPECT_EQ(form->StaticText1->boundsRect(), Bounds(389, 306, 368, 27));
  EXPECT_EQ(form->Button3->boundsRect(), Bounds(504, 352, 193, 25));
  EXPECT_EQ(form->Button2->boundsRect(), Bounds(504, 400, 193, 25));
  // Labels keep their top-left corner and take the size of their text.
  const std::vector<std::pair<TLabel*, TPoint>> labels = {
      {form->Label39, {224, 8}}, {form->Label40, {312, 40}}, {form->Label2, {80, 352}},
      {form->Label1, {80, 400}}, {form->Label3, {292, 464}}, {form->Label4, {344, 488}}};
  for (const auto& [label, corner] : labels) {
    EXPECT_EQ(label->pos(), corner) << label->Name();
    EXPECT_EQ(label->size(), nativeui::TextExtent(label->font(), label->text())) << label->Name();
  }
  // The status line lies above the grid's last row from column 5 on.
  const int frame = (grid.width() - grid.clientSize().Width) / 2;
  const TPoint inHiddenCell = grid.pos() + TPoint{frame, frame} + grid.cellRect(7, 9).Center();
  EXPECT_EQ(form->controlAt(inHiddenCell), form->StaticText1);
  EXPECT_EQ(form->StaticText1->boundsRect().BottomRightInside(), grid.boundsRect().BottomRightInside());
}

TEST_F(StartedWindow, FontsAreThoseOfTheLayout) {
  struct Expected {
    TControl* control;
    const char* family;
    int pixels;
    bool italic;
  };
  const std::vector<Expected> fonts = {
      {form.get(), "Arial", 11, false},    {form->Label39, "Arial", 27, false},
      {form->Label40, "Arial", 27, true},  {form->Label2, "Arial", 21, false},
      {form->Label1, "Arial", 21, false},  {form->Label3, "Arial", 11, false},
      {form->Label4, "Arial", 11, false},  {form->Button2, "Arial", 16, false},
      {form->Button3, "Arial", 16, false}, {form->StaticText1, "Arial", 16, false},
      {&grid, "Courier", 13, false},
  };
  for (const Expected& e : fonts) {
    const TFont& font = e.control->font();
    EXPECT_EQ(font.name(), e.family) << e.control->Name();
    EXPECT_EQ(font.height(), e.pixels) << e.control->Name();
    EXPECT_EQ(font.italic(), e.italic) << e.control->Name();
    EXPECT_FALSE(font.bold()) << e.control->Name();
    EXPECT_EQ(font.charset(), RUSSIAN_CHARSET) << e.control->Name();
  }
  EXPECT_EQ(grid.font().pitch(), TFontPitch::fpFixed);
  // Where the machine lacks a family of the layout, the window draws with
  // the metric-compatible one the program brings, not with whatever else
  // the desktop has: the same look on every machine.
  const std::set<std::string> arial = {"Arial", "Liberation Sans"};
  const std::set<std::string> courier = {"Courier", "Courier New", "Liberation Mono"};
  EXPECT_TRUE(arial.count(kit::ResolvedFontFamily(form->font()))) << kit::ResolvedFontFamily(form->font());
  EXPECT_TRUE(courier.count(kit::ResolvedFontFamily(grid.font()))) << kit::ResolvedFontFamily(grid.font());
}

TEST_F(StartedWindow, ComponentsAreCreatedInLayoutOrder) {
  std::vector<std::string> names;
  for (int i = 0; i < form->ComponentCount(); ++i) names.push_back(form->Components(i)->Name());
  // The lab sheet's save dialog comes after those of the stored layout.
  EXPECT_EQ(names, (std::vector<std::string>{"Label1", "Label2", "Label39", "Label40", "Label3", "Label4",
                                             "StringGrid1", "Button2", "Button3", "StaticText1", "SaveDialog1",
                                             "PdfSaveDialog"}));
}

TEST_F(StartedWindow, ClosingIsAllowed) {
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(form->close());
  EXPECT_FALSE(form->isVisible());
}
