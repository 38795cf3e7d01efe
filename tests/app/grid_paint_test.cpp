// What the grid looks like: its own painting and the window's cell handler.
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>

#include "app/excluded_times.h"
#include "tests/app/window_fixture.h"
#include "tests/support/pixels.h"

namespace {

const TColor kYellow = RGBColor(255, 255, 0);

bool IsMaroonish(TColor c) { return RedOf(c) > 90 && RedOf(c) < 170 && GreenOf(c) < 60 && BlueOf(c) < 60; }

class PaintedGrid : public StartedWindow {
 protected:
  kit::Image Render() { return grid.GrabClient(); }
  // A system colour as this desktop shows it.
  static TColor Shown(TColor color) { return ColorToRGB(color); }
};

}  // namespace

TEST_F(PaintedGrid, HeaderCellsShowMaroonTextOnYellow) {
  // Where the grid has the focus from the start (Win32), the focus
  // rectangle on cell (0, 0) is FocusedCell's business, not this test's.
  form->Button2->SetFocus();
  ProcessMessages();
  const kit::Image image = Render();
  for (auto [col, row] : {std::pair{0, 0}, {5, 0}, {10, 0}, {0, 1}, {0, 9}}) {
    const TRect rect = grid.CellRect(col, row);
    EXPECT_EQ(image.Pixel(rect.BottomRightInside()), kYellow) << col << "," << row;
    EXPECT_GT(CountPixels(image, rect, IsMaroonish), 10) << col << "," << row;
    // Only yellow and the text's shades of maroon.
    EXPECT_EQ(CountPixels(image, rect, [](TColor c) { return RedOf(c) < 90 || BlueOf(c) > 60; }), 0)
        << col << "," << row;
  }
  // The header cell that is never written is plain yellow.
  EXPECT_EQ(CountNot(image, grid.CellRect(1, 0), kYellow), 0);
}

TEST_F(PaintedGrid, DataCellsUseTheWindowColourAndTheGridFont) {
  grid.SetCell(3, 3, "12.3456");
  const kit::Image image = Render();
  EXPECT_EQ(CountNot(image, grid.CellRect(2, 2), Shown(clWindow)), 0);
  const TRect rect = grid.CellRect(3, 3);
  EXPECT_GT(CountNot(image, rect, Shown(clWindow)), 10);
  // The grid's text colour, not the header maroon: the header font never reaches data cells.
  EXPECT_EQ(CountPixels(image, rect, IsMaroonish), 0);
  // Data text starts 2 pixels in from the left edge.
  EXPECT_GE(FirstInkColumn(image, rect, Shown(clWindow)), 2);
}

TEST_F(PaintedGrid, HeaderTextStartsAtTheCornerAndIsNotClipped) {
  const kit::Image empty = Render();
  // Full blocks: ink from the very first column of each character.
  std::string block;
  for (int i = 0; i < 12; ++i) block += "\u2588";
  grid.SetCell(1, 0, block);
  grid.SetCell(1, 1, block);
  const kit::Image image = Render();

  const TRect header = grid.CellRect(1, 0);
  EXPECT_LE(FirstInkColumn(image, header, kYellow), 1);
  EXPECT_GE(FirstInkColumn(image, grid.CellRect(1, 1), Shown(clWindow)), 2);

  // The text runs on over the grid line right of the header cell, while the
  // data cell's text stops at its own edge.
  const TRect headerLine = Bounds(header.Right, header.Top, 1, header.Height());
  const TRect dataLine = Bounds(header.Right, grid.CellRect(1, 1).Top, 1, header.Height());
  EXPECT_GT(CountNot(image, headerLine, empty.Pixel(headerLine.TopLeft())), 0);
  for (int y = dataLine.Top; y < dataLine.Bottom; ++y)
    EXPECT_EQ(image.Pixel(dataLine.Left, y), empty.Pixel(dataLine.Left, y)) << y;
}

TEST_F(PaintedGrid, LastRowCellsFromColumnFiveVanishEvenWithText) {
  grid.SetCell(5, 9, "01.02.2024");
  grid.SetCell(6, 9, "12:34:56");
  grid.SetCell(10, 9, "99999.9");
  const kit::Image image = Render();
  // Text blended onto its own colour may come out one step off through
  // rounding; that is still invisible.
  const TColor face = Shown(clBtnFace);
  const auto invisible = [&](TColor c) {
    return std::abs(RedOf(c) - RedOf(face)) <= 1 && std::abs(GreenOf(c) - GreenOf(face)) <= 1 &&
           std::abs(BlueOf(c) - BlueOf(face)) <= 1;
  };
  for (int col = 5; col <= 10; ++col) {
    const TRect rect = grid.CellRect(col, 9);
    EXPECT_EQ(CountPixels(image, rect, [&](TColor c) { return !invisible(c); }), 0) << col;
    EXPECT_EQ(image.Pixel(rect.TopLeft()), face) << col;
  }
  // Slot 83's cell, just before them, is an ordinary data cell.
  EXPECT_EQ(CountNot(image, grid.CellRect(4, 9), Shown(clWindow)), 0);
}

TEST_F(PaintedGrid, SelectionHighlightsDataCellsButNotHeaders) {
  grid.SetSelection({0, 0, 3, 3});
  grid.SetCell(2, 2, "1.5");
  const kit::Image image = Render();
  const TColor highlight = Shown(clHighlight);
  EXPECT_EQ(image.Pixel(grid.CellRect(0, 2).BottomRightInside()), kYellow);
  EXPECT_EQ(image.Pixel(grid.CellRect(2, 0).BottomRightInside()), kYellow);
  EXPECT_GT(CountPixels(image, grid.CellRect(0, 2), IsMaroonish), 10);
  EXPECT_EQ(CountNot(image, grid.CellRect(1, 1), highlight), 0);
  EXPECT_EQ(CountNot(image, grid.CellRect(3, 3), highlight), 0);
  // Selected text is drawn in the highlighted-text colour.
  EXPECT_GT(CountNot(image, grid.CellRect(2, 2), highlight), 0);
  EXPECT_EQ(CountNot(image, grid.CellRect(4, 4), Shown(clWindow)), 0);
}

TEST_F(PaintedGrid, FocusedCellKeepsItsColoursAndGetsTheFocusRectangle) {
  grid.SetFocus();
  ProcessMessages();
  ASSERT_TRUE(grid.HasFocus());
  grid.SetSelection({2, 2, 4, 4});
  const kit::Image image = Render();
  const TRect focused = grid.CellRect(2, 2);
  const TColor window = Shown(clWindow);
  // The inside stays in the window colour; the dotted rectangle marks the edge.
  EXPECT_EQ(CountNot(image, focused.Inflate(-1, -1), window), 0);
  EXPECT_GT(CountNot(image, Bounds(focused.Left, focused.Top, focused.Width(), 1), window), 0);
  EXPECT_EQ(CountNot(image, grid.CellRect(3, 3), Shown(clHighlight)), 0);

  // Without keyboard focus the current cell shows as selected like the rest.
  form->Button2->SetFocus();
  ProcessMessages();
  ASSERT_FALSE(grid.HasFocus());
  const kit::Image unfocused = Render();
  EXPECT_EQ(CountNot(unfocused, focused, Shown(clHighlight)), 0);
}

TEST_F(PaintedGrid, ATimeSetAsideIsGreyAndStruckThroughYetCopiedAsItIs) {
  grid.SetCell(3, 3, "12.3456");
  grid.SetCell(4, 3, "12.3456");
  form->ExcludedTimes.Exclude(stopwatch::SlotAt(3, 3));
  form->Button2->SetFocus();
  ProcessMessages();
  const kit::Image image = Render();
  const TRect set = grid.CellRect(3, 3);
  const TRect kept = grid.CellRect(4, 3);
  const auto grey = [](TColor c) { return c == app::kExcludedTimeColor; };
  EXPECT_EQ(CountPixels(image, kept, grey), 0);
  // Grey text, and a grey line across the text's middle row.
  const TRect ink = InkBounds(image, set, Shown(clWindow));
  EXPECT_GT(CountPixels(image, set, grey), 10);
  int struck = -1;
  for (int y = ink.Top; y < ink.Bottom; ++y)
    if (CountPixels(image, Bounds(ink.Left, y, ink.Width(), 1), grey) >= ink.Width() - 1) struck = y;
  EXPECT_GT(struck, ink.Top + ink.Height() / 4);
  EXPECT_LT(struck, ink.Bottom - ink.Height() / 4);
  // The text itself is untouched: a copy carries it.
  grid.SetSelection({3, 3, 4, 3});
  EXPECT_EQ(grid.CopyText(), "12.3456\t12.3456\n");
}

// The grid sits in a sunken frame two pixels wide.
TEST_F(PaintedGrid, GridSitsInASunkenFrame) {
  const kit::Image whole = grid.Grab();
  ASSERT_EQ(whole.Rect(), Bounds(0, 0, 741, 253));
  EXPECT_TRUE(LooksSunken(whole));
  EXPECT_EQ(grid.ClientSize(), (TSize{741 - 4, 253 - 4}));
}
