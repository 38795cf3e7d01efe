// The grid's addressing, selection, keyboard, scroll bars and copying,
// driven by real input.
#include <stdexcept>
#include <string>
#include <vector>

#include "app/kit/backend.h"
#include "tests/app/support/native_ui.h"
#include "tests/app/window_fixture.h"

namespace {

using nativeui::PressKey;

// A drag with the left button from one cell's centre to another's.
void Drag(TStringGrid& grid, TGridCoord from, TGridCoord to, TShiftState shift = 0) {
  nativeui::PressMouse(grid, TMouseButton::mbLeft, grid.CellRect(from.X, from.Y).Center(), shift);
  nativeui::MoveMouse(grid, grid.CellRect(to.X, to.Y).Center(), shift);
  nativeui::ReleaseMouse(grid, TMouseButton::mbLeft, grid.CellRect(to.X, to.Y).Center(), shift);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines(1);
  for (char c : text) {
    if (c == '\n')
      lines.emplace_back();
    else
      lines.back() += c;
  }
  return lines;
}

}  // namespace

TEST_F(StartedWindow, CellsAreAddressedColumnThenRow) {
  grid.SetCell(10, 1, "9.0001");
  grid.SetCell(1, 10 - 1, "80");
  EXPECT_EQ(grid.Cell(10, 1), "9.0001");
  EXPECT_EQ(grid.Cell(1, 9), "80");
  EXPECT_EQ(grid.Cell(9, 1), "");
  for (auto [col, row] : {std::pair{-1, 0}, {11, 0}, {0, -1}, {0, 10}}) {
    EXPECT_THROW(grid.Cell(col, row), std::out_of_range);
    EXPECT_THROW(grid.SetCell(col, row, "x"), std::out_of_range);
  }
}

TEST_F(StartedWindow, CellRectanglesLeaveOnePixelLinesBetweenCells) {
  EXPECT_EQ(grid.CellRect(0, 0), Bounds(0, 0, 127, 24));
  EXPECT_EQ(grid.CellRect(1, 0), Bounds(128, 0, 60, 24));
  EXPECT_EQ(grid.CellRect(2, 1), Bounds(189, 25, 60, 24));
  EXPECT_EQ(grid.CellAt({127, 24}), (TGridCoord{0, 0}));  // a line belongs to the cell before it
  EXPECT_EQ(grid.CellAt({128, 25}), (TGridCoord{1, 1}));
}

TEST_F(StartedWindow, MouseDragSelectsABlockAroundTheCellPressed) {
  Drag(grid, {4, 5}, {2, 3});
  EXPECT_EQ(grid.CurrentCell(), (TGridCoord{4, 5}));
  EXPECT_EQ(grid.Selection(), (TGridRect{2, 3, 4, 5}));
  // The click gave the grid the keyboard focus.
  EXPECT_TRUE(grid.HasFocus());

  // A plain click collapses it; Shift+click extends from the current cell.
  Drag(grid, {6, 6}, {6, 6});
  EXPECT_EQ(grid.Selection(), (TGridRect{6, 6, 6, 6}));
  Drag(grid, {8, 7}, {8, 7}, ssShift);
  EXPECT_EQ(grid.CurrentCell(), (TGridCoord{6, 6}));
  EXPECT_EQ(grid.Selection(), (TGridRect{6, 6, 8, 7}));

  // Dragging past the last cell stops at it.
  const TSize client = grid.ClientSize();
  const TPoint beyond{client.Width + 8, client.Height + 8};
  nativeui::PressMouse(grid, TMouseButton::mbLeft, grid.CellRect(9, 8).Center());
  nativeui::MoveMouse(grid, beyond);
  nativeui::ReleaseMouse(grid, TMouseButton::mbLeft, beyond);
  EXPECT_EQ(grid.Selection(), (TGridRect{9, 8, 10, 9}));
}

TEST_F(StartedWindow, ArrowKeysMoveAndShiftArrowsExtendWithoutEditing) {
  grid.SetFocus();
  grid.SetCurrentCell(1, 1);
  PressKey(grid, kit::key::Right);
  PressKey(grid, kit::key::Down);
  EXPECT_EQ(grid.CurrentCell(), (TGridCoord{2, 2}));
  PressKey(grid, kit::key::Right, ssShift);
  PressKey(grid, kit::key::Down, ssShift);
  EXPECT_EQ(grid.CurrentCell(), (TGridCoord{2, 2}));
  EXPECT_EQ(grid.Selection(), (TGridRect{2, 2, 3, 3}));
  PressKey(grid, kit::key::Up);
  EXPECT_EQ(grid.Selection(), (TGridRect{2, 1, 2, 1}));
  // Moves stop at the edges.
  PressKey(grid, kit::key::Home, ssCtrl);
  PressKey(grid, kit::key::Left);
  EXPECT_EQ(grid.CurrentCell(), (TGridCoord{0, 0}));
  PressKey(grid, kit::key::End, ssCtrl);
  PressKey(grid, kit::key::Down);
  EXPECT_EQ(grid.CurrentCell(), (TGridCoord{10, 9}));
  // Typing does not edit a cell.
  PressKey(grid, kit::key::A);
  PressKey(grid, kit::key::Return);
  EXPECT_EQ(grid.Cell(10, 9), "");
}

TEST_F(StartedWindow, ScrollBarsComeAndGoWithTheGridSize) {
  grid.SetBounds(16, 80, 300, 120);
  ProcessMessages();
  EXPECT_GT(grid.ScrollMaximum(kit::ScrollBar::Horizontal), 0);
  EXPECT_GT(grid.ScrollMaximum(kit::ScrollBar::Vertical), 0);

  // Moves bring the current cell into view.
  grid.SetCurrentCell(10, 9);
  EXPECT_GT(grid.LeftCol(), 0);
  EXPECT_GT(grid.TopRow(), 0);
  EXPECT_FALSE(grid.CellRect(10, 9).IsEmpty());
  EXPECT_TRUE(grid.CellRect(0, 0).IsEmpty());

  grid.SetBounds(16, 80, 741, 253);
  ProcessMessages();
  EXPECT_EQ(grid.ScrollMaximum(kit::ScrollBar::Horizontal), 0);
  EXPECT_EQ(grid.ScrollMaximum(kit::ScrollBar::Vertical), 0);
  EXPECT_EQ(grid.CellRect(0, 0), Bounds(0, 0, 127, 24));
  EXPECT_EQ(grid.ClientSize(), (TSize{737, 249}));
}

TEST_F(StartedWindow, ReshapingTheGridKeepsTheTextsThatRemain) {
  grid.SetCell(3, 4, "12.3456");
  grid.SetColCount(5);
  grid.SetColCount(11);
  EXPECT_EQ(grid.Cell(3, 4), "12.3456");
  EXPECT_EQ(grid.Cell(0, 0), " № измерения");
  EXPECT_EQ(grid.Cell(10, 0), "");
  EXPECT_EQ(grid.ColWidth(10), 60);
}

// Ctrl+C and the context menu's "Копировать" copy the cells as shown, tab
// separated: the selection, or the whole table when only the current cell
// is selected; the read's date and time, which the grid hides, stay out.
TEST_F(StartedWindow, CopyPutsTheCellsAsShownOnTheClipboard) {
  grid.SetCell(1, 1, "12,3456");
  grid.SetCell(2, 1, "------");
  grid.SetCell(1, 2, "100,000");
  grid.SetCell(5, 9, "08.12.2026");
  grid.SetCell(6, 9, "05:23:28");
  kit::SetClipboardText("");

  grid.SetFocus();
  grid.SetCurrentCell(3, 3);
  PressKey(grid, kit::key::C, ssCtrl);
  const std::vector<std::string> lines = Lines(kit::ClipboardText());
  ASSERT_EQ(lines.size(), 11u);  // ten rows, each ended by a line feed
  EXPECT_EQ(lines[10], "");
  EXPECT_EQ(lines[0], " № измерения\t\t  +1\t  +2\t  +3\t  +4\t  +5\t  +6\t  +7\t  +8\t  +9");
  EXPECT_EQ(lines[1], "     00\t12,3456\t------\t\t\t\t\t\t\t\t");
  EXPECT_EQ(lines[2], "     10\t100,000\t\t\t\t\t\t\t\t\t");
  EXPECT_EQ(lines[9], "     80\t\t\t\t\t\t\t\t\t\t");
  EXPECT_EQ(grid.Cell(3, 3), "") << "nothing is edited";
  // Shift does not make it a copy.
  kit::SetClipboardText("");
  PressKey(grid, kit::key::C, ssCtrl | ssShift);
  EXPECT_EQ(kit::ClipboardText(), "");

  grid.SetSelection({1, 1, 2, 2});
  const std::vector<std::string> menu =
      nativeui::ChooseFromContextMenu(grid, grid.CellRect(2, 2).Center(), "Копировать");
  // The window's own entries follow the grid's.
  EXPECT_EQ(menu, (std::vector<std::string>{"Копировать\tCtrl+C", "Статистика…", "Исключить из расчёта",
                                            "Вернуть в расчёт", "Печать…", "Сохранить в PDF…", "Журнал…"}));
  EXPECT_EQ(kit::ClipboardText(), "12,3456\t------\n100,000\t\n");
}
