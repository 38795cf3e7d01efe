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
  ASSERT_EQ(grid.ColCount(), 11);
  ASSERT_EQ(grid.RowCount(), 10);
  for (int col = 0; col < 11; ++col)
    for (int row = 0; row < 10; ++row) {
      const std::string expected = (col == 0 || row == 0) ? ExpectedHeader(col, row) : "";
      EXPECT_EQ(grid.Cell(col, row), expected) << "cell (" << col << ", " << row << ")";
    }
  // Spot checks against the literal texts, leading spaces included.
  EXPECT_EQ(grid.Cell(0, 1), "     00");
  EXPECT_EQ(grid.Cell(0, 9), "     80");
  EXPECT_EQ(grid.Cell(2, 0), "  +1");
  EXPECT_EQ(grid.Cell(10, 0), "  +9");
  EXPECT_EQ(grid.Cell(0, 0), " № измерения");
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
  EXPECT_EQ(grid.ColWidth(0), 127);
  for (int col = 1; col < 11; ++col) EXPECT_EQ(grid.ColWidth(col), 60) << col;
  for (int row = 0; row < 10; ++row) EXPECT_EQ(grid.RowHeight(row), 24) << row;
  EXPECT_EQ(grid.DefaultColWidth(), 60);
  EXPECT_EQ(grid.GridLineWidth(), 1);
  // The last cell ends flush with the client area; its trailing line may not.
  EXPECT_EQ(grid.ScrollMaximum(kit::ScrollBar::Horizontal), 0);
  EXPECT_EQ(grid.ScrollMaximum(kit::ScrollBar::Vertical), 0);
  EXPECT_EQ(grid.CellRect(10, 9), Bounds(677, 225, 60, 24));
}

TEST_F(StartedWindow, LabelsStatusLineAndButtonsShowTheirStartTexts) {
  // No spreadsheet application is registered in this test program.
  EXPECT_EQ(form->Label1->Text(), "MS EXCEL не установлен");
  EXPECT_EQ(form->Label1->FontColor(), clBlue);
  EXPECT_EQ(form->Label2->Text(), "Секундомер не подключен");
  EXPECT_EQ(form->Label2->FontColor(), clBlue);
  EXPECT_EQ(form->Label39->Text(), "ТАБЛИЦА ИЗМЕРЕНИЙ");
  EXPECT_EQ(form->Label39->FontColor(), clWindowText);
  EXPECT_EQ(form->Label40->Text(), "(время, с)");
  EXPECT_EQ(form->Label40->FontColor(), clWindowText);
  EXPECT_FALSE(form->Label3->Text().empty());
  EXPECT_EQ(form->Label3->FontColor(), clBlue);
  EXPECT_EQ(form->Label4->Text(), "Версия 1.0");
  EXPECT_EQ(form->Label4->FontColor(), clWindowText);
  EXPECT_TRUE(form->StaticText1->Text().empty());
  EXPECT_EQ(form->Button3->Text(), "Считать данные");
  EXPECT_EQ(form->Button2->Text(), "Сохранить в MS EXCEL");
  ASSERT_NE(form->HidCtl, nullptr);
  EXPECT_EQ(form->HidCtl->Name(), "HidCtl");
}

TEST_F(StartedWindow, CaptionDiffersFromTheTaskBarText) {
  EXPECT_EQ(form->Caption(), "Lumetra");
  EXPECT_EQ(kit::ApplicationTitle(), "Lumetro");
  EXPECT_EQ(form->TaskBarText(), "Lumetro");
  // The desktop entry's icon, drawn: its centre is the stopwatch's face.
  const kit::Image icon = form->Icon(32);
  ASSERT_EQ(icon.Rect(), Bounds(0, 0, 32, 32));
  EXPECT_EQ(icon.Pixel(12, 12), clWhite);
  EXPECT_EQ(icon.Alpha(12, 12), 255);
  EXPECT_EQ(icon.Alpha(0, 0), 0);
}

// The window is button face; the labels show it around their text, and the
// status line paints it over the grid's last row, grid lines and all.
TEST_F(StartedWindow, WindowBackgroundIsButtonFaceAndLabelsShowIt) {
  const TColor face = ColorToRGB(clBtnFace);
  const kit::Image window = form->Grab();
  EXPECT_EQ(window.Pixel(4, 4), face);
  for (TLabel* label : {form->Label1, form->Label2, form->Label39, form->Label40, form->Label3, form->Label4}) {
    const kit::Image shown = label->Grab();
    EXPECT_EQ(shown.Pixel(0, 0), face) << label->Name();
    EXPECT_GT(CountPixels(shown, shown.Rect(), [&](TColor c) { return c == face; }), shown.Width()) << label->Name();
  }
  const TRect status = form->StaticText1->BoundsRect().Inflate(-2, -2);
  EXPECT_EQ(CountPixels(window, status, [&](TColor c) { return c != face; }), 0);
}

TEST_F(StartedWindow, TabCyclesGridThenSaveThenReadButton) {
  EXPECT_EQ(form->TabCycle(&grid), (std::vector<TControl*>{form->Button2, form->Button3, &grid}));
  grid.SetFocus();
  nativeui::PressKey(grid, kit::key::Tab);
  EXPECT_TRUE(form->Button2->HasFocus());
  nativeui::PressKey(*form->Button2, kit::key::Tab);
  EXPECT_TRUE(form->Button3->HasFocus());
  nativeui::PressKey(*form->Button3, kit::key::Tab);
  EXPECT_TRUE(grid.HasFocus());
  EXPECT_FALSE(form->StaticText1->TabStop());
  // Enter and Space on the buttons: tests/app/kit/button_test.cpp.
}

TEST_F(StartedWindow, ControlsSitWhereTheLayoutPutsThem) {
  EXPECT_EQ(form->FrameRect().TopLeft(), (TPoint{145, 100}));
  EXPECT_EQ(form->ClientSize(), (TSize{774, 523}));
  EXPECT_EQ(grid.BoundsRect(), Bounds(16, 80, 741, 253));
  EXPECT_EQ(form->StaticText1->BoundsRect(), Bounds(389, 306, 368, 27));
  EXPECT_EQ(form->Button3->BoundsRect(), Bounds(504, 352, 193, 25));
  EXPECT_EQ(form->Button2->BoundsRect(), Bounds(504, 400, 193, 25));
  // Labels keep their top-left corner and take the size of their text.
  const std::vector<std::pair<TLabel*, TPoint>> labels = {{form->Label39, {224, 8}},  {form->Label40, {312, 40}},
                                                          {form->Label2, {80, 352}},  {form->Label1, {80, 400}},
                                                          {form->Label3, {292, 464}}, {form->Label4, {344, 488}}};
  for (const auto& [label, corner] : labels) {
    EXPECT_EQ(label->Pos(), corner) << label->Name();
    EXPECT_EQ(label->Size(), nativeui::TextExtent(label->Font(), label->Text())) << label->Name();
  }
  // The status line lies above the grid's last row from column 5 on.
  const int frame = (grid.Width() - grid.ClientSize().Width) / 2;
  const TPoint inHiddenCell = grid.Pos() + TPoint{frame, frame} + grid.CellRect(7, 9).Center();
  EXPECT_EQ(form->ControlAt(inHiddenCell), form->StaticText1);
  EXPECT_EQ(form->StaticText1->BoundsRect().BottomRightInside(), grid.BoundsRect().BottomRightInside());
}

TEST_F(StartedWindow, FontsAreThoseOfTheLayout) {
  struct Expected {
    TControl* control;
    const char* family;
    int pixels;
    bool italic;
  };
  const std::vector<Expected> fonts = {
      {form.get(), "Arial", 11, false},        {form->Label39, "Arial", 27, false}, {form->Label40, "Arial", 27, true},
      {form->Label2, "Arial", 21, false},      {form->Label1, "Arial", 21, false},  {form->Label3, "Arial", 11, false},
      {form->Label4, "Arial", 11, false},      {form->Button2, "Arial", 16, false}, {form->Button3, "Arial", 16, false},
      {form->StaticText1, "Arial", 16, false}, {&grid, "Courier", 13, false},
  };
  for (const Expected& e : fonts) {
    const TFont& font = e.control->Font();
    EXPECT_EQ(font.Name(), e.family) << e.control->Name();
    EXPECT_EQ(font.Height(), e.pixels) << e.control->Name();
    EXPECT_EQ(font.Italic(), e.italic) << e.control->Name();
    EXPECT_FALSE(font.Bold()) << e.control->Name();
    EXPECT_EQ(font.Charset(), RUSSIAN_CHARSET) << e.control->Name();
  }
  EXPECT_EQ(grid.Font().Pitch(), TFontPitch::fpFixed);
  // Where the machine lacks a family of the layout, the window draws with
  // the metric-compatible one the program brings, not with whatever else
  // the desktop has: the same look on every machine.
  const std::set<std::string> arial = {"Arial", "Liberation Sans"};
  const std::set<std::string> courier = {"Courier", "Courier New", "Liberation Mono"};
  EXPECT_TRUE(arial.count(kit::ResolvedFontFamily(form->Font()))) << kit::ResolvedFontFamily(form->Font());
  EXPECT_TRUE(courier.count(kit::ResolvedFontFamily(grid.Font()))) << kit::ResolvedFontFamily(grid.Font());
}

TEST_F(StartedWindow, ComponentsAreCreatedInLayoutOrder) {
  std::vector<std::string> names;
  for (int i = 0; i < form->ComponentCount(); ++i) names.push_back(form->Components(i)->Name());
  // The lab sheet's save dialog comes after those of the stored layout.
  EXPECT_EQ(names,
            (std::vector<std::string>{"Label1", "Label2", "Label39", "Label40", "Label3", "Label4", "StringGrid1",
                                      "Button2", "Button3", "StaticText1", "SaveDialog1", "PdfSaveDialog"}));
}

TEST_F(StartedWindow, ClosingIsAllowed) {
  EXPECT_TRUE(form->IsVisible());
  EXPECT_TRUE(form->Close());
  EXPECT_FALSE(form->IsVisible());
}
