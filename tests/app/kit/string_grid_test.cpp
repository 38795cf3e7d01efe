// The grid's addressing, selection, keyboard, scroll bars and copying.
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimer>
#include <stdexcept>

#include "tests/app/window_fixture.h"

namespace {

void SendMouse(TStringGrid& grid, QEvent::Type type, QPoint at, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QMouseEvent event(type, at, grid.viewport()->mapToGlobal(at), Qt::LeftButton, buttons, modifiers);
  QCoreApplication::sendEvent(grid.viewport(), &event);
}

void Drag(TStringGrid& grid, TGridCoord from, TGridCoord to, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  SendMouse(grid, QEvent::MouseButtonPress, grid.cellRect(from.X, from.Y).center(), Qt::LeftButton, modifiers);
  SendMouse(grid, QEvent::MouseMove, grid.cellRect(to.X, to.Y).center(), Qt::LeftButton, modifiers);
  SendMouse(grid, QEvent::MouseButtonRelease, grid.cellRect(to.X, to.Y).center(), Qt::NoButton, modifiers);
}

bool SendKey(TStringGrid& grid, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QKeyEvent event(QEvent::KeyPress, key, modifiers);
  QCoreApplication::sendEvent(&grid, &event);
  return event.isAccepted();
}

}  // namespace

TEST_F(StartedWindow, CellsAreAddressedColumnThenRow) {
  grid.setCell(10, 1, "9.0001");
  grid.setCell(1, 10 - 1, "80");
  EXPECT_EQ(grid.cell(10, 1), "9.0001");
  EXPECT_EQ(grid.cell(1, 9), "80");
  EXPECT_EQ(grid.cell(9, 1), "");
  for (auto [col, row] : {std::pair{-1, 0}, {11, 0}, {0, -1}, {0, 10}}) {
    EXPECT_THROW(grid.cell(col, row), std::out_of_range);
    EXPECT_THROW(grid.setCell(col, row, "x"), std::out_of_range);
  }
}

TEST_F(StartedWindow, CellRectanglesLeaveOnePixelLinesBetweenCells) {
  EXPECT_EQ(grid.cellRect(0, 0), QRect(0, 0, 127, 24));
  EXPECT_EQ(grid.cellRect(1, 0), QRect(128, 0, 60, 24));
  EXPECT_EQ(grid.cellRect(2, 1), QRect(189, 25, 60, 24));
  EXPECT_EQ(grid.cellAt({127, 24}), (TGridCoord{0, 0}));  // a line belongs to the cell before it
  EXPECT_EQ(grid.cellAt({128, 25}), (TGridCoord{1, 1}));
}

TEST_F(StartedWindow, MouseDragSelectsABlockAroundTheCellPressed) {
  Drag(grid, {4, 5}, {2, 3});
  EXPECT_EQ(grid.currentCell(), (TGridCoord{4, 5}));
  EXPECT_EQ(grid.selection(), (TGridRect{2, 3, 4, 5}));

  // A plain click collapses it; Shift+click extends from the current cell.
  Drag(grid, {6, 6}, {6, 6});
  EXPECT_EQ(grid.selection(), (TGridRect{6, 6, 6, 6}));
  Drag(grid, {8, 7}, {8, 7}, Qt::ShiftModifier);
  EXPECT_EQ(grid.currentCell(), (TGridCoord{6, 6}));
  EXPECT_EQ(grid.selection(), (TGridRect{6, 6, 8, 7}));

  // Dragging past the last cell stops at it.
  SendMouse(grid, QEvent::MouseButtonPress, grid.cellRect(9, 8).center(), Qt::LeftButton);
  SendMouse(grid, QEvent::MouseMove, QPoint(5000, 5000), Qt::LeftButton);
  SendMouse(grid, QEvent::MouseButtonRelease, QPoint(5000, 5000), Qt::NoButton);
  EXPECT_EQ(grid.selection(), (TGridRect{9, 8, 10, 9}));
}

TEST_F(StartedWindow, ArrowKeysMoveAndShiftArrowsExtendWithoutEditing) {
  grid.setCurrentCell(1, 1);
  EXPECT_TRUE(SendKey(grid, Qt::Key_Right));
  EXPECT_TRUE(SendKey(grid, Qt::Key_Down));
  EXPECT_EQ(grid.currentCell(), (TGridCoord{2, 2}));
  SendKey(grid, Qt::Key_Right, Qt::ShiftModifier);
  SendKey(grid, Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(grid.currentCell(), (TGridCoord{2, 2}));
  EXPECT_EQ(grid.selection(), (TGridRect{2, 2, 3, 3}));
  SendKey(grid, Qt::Key_Up);
  EXPECT_EQ(grid.selection(), (TGridRect{2, 1, 2, 1}));
  // Moves stop at the edges.
  SendKey(grid, Qt::Key_Home, Qt::ControlModifier);
  SendKey(grid, Qt::Key_Left);
  EXPECT_EQ(grid.currentCell(), (TGridCoord{0, 0}));
  SendKey(grid, Qt::Key_End, Qt::ControlModifier);
  SendKey(grid, Qt::Key_Down);
  EXPECT_EQ(grid.currentCell(), (TGridCoord{10, 9}));
  // Typing does not edit a cell.
  SendKey(grid, Qt::Key_A);
  SendKey(grid, Qt::Key_Return);
  EXPECT_EQ(grid.cell(10, 9), "");
}

TEST_F(StartedWindow, ScrollBarsComeAndGoWithTheGridSize) {
  grid.resize(300, 120);
  EXPECT_GT(grid.horizontalScrollBar()->maximum(), 0);
  EXPECT_GT(grid.verticalScrollBar()->maximum(), 0);

  // Keyboard moves bring the current cell into view.
  grid.setCurrentCell(10, 9);
  EXPECT_GT(grid.leftCol(), 0);
  EXPECT_GT(grid.topRow(), 0);
  EXPECT_FALSE(grid.cellRect(10, 9).isEmpty());
  EXPECT_TRUE(grid.cellRect(0, 0).isEmpty());

  grid.resize(741, 253);
  EXPECT_EQ(grid.horizontalScrollBar()->maximum(), 0);
  EXPECT_EQ(grid.verticalScrollBar()->maximum(), 0);
  EXPECT_EQ(grid.cellRect(0, 0), QRect(0, 0, 127, 24));
}

TEST_F(StartedWindow, ReshapingTheGridKeepsTheTextsThatRemain) {
  grid.setCell(3, 4, "12.3456");
  grid.setColCount(5);
  grid.setColCount(11);
  EXPECT_EQ(grid.cell(3, 4), "12.3456");
  EXPECT_EQ(grid.cell(0, 0), " № измерения");
  EXPECT_EQ(grid.cell(10, 0), "");
  EXPECT_EQ(grid.colWidth(10), 60);
}

// Ctrl+C and the context menu's "Копировать" copy the cells as shown, tab
// separated: the selection, or the whole table when only the current cell
// is selected; the read's date and time, which the grid hides, stay out.
TEST_F(StartedWindow, CopyPutsTheCellsAsShownOnTheClipboard) {
  grid.setCell(1, 1, "12,3456");
  grid.setCell(2, 1, "------");
  grid.setCell(1, 2, "100,000");
  grid.setCell(5, 9, "08.12.2026");
  grid.setCell(6, 9, "05:23:28");
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->clear();

  grid.setFocus();
  grid.setCurrentCell(3, 3);
  EXPECT_TRUE(SendKey(grid, Qt::Key_C, Qt::ControlModifier));
  const QStringList lines = clipboard->text().split('\n');
  ASSERT_EQ(lines.size(), 11);  // ten rows, each ended by a line feed
  EXPECT_EQ(lines[10], "");
  EXPECT_EQ(lines[0], " № измерения\t\t  +1\t  +2\t  +3\t  +4\t  +5\t  +6\t  +7\t  +8\t  +9");
  EXPECT_EQ(lines[1], "     00\t12,3456\t------\t\t\t\t\t\t\t\t");
  EXPECT_EQ(lines[2], "     10\t100,000\t\t\t\t\t\t\t\t\t");
  EXPECT_EQ(lines[9], "     80\t\t\t\t\t\t\t\t\t\t");
  EXPECT_EQ(grid.cell(3, 3), "") << "nothing is edited";

  grid.setSelection({1, 1, 2, 2});
  clipboard->clear();
  QStringList menu;
  QTimer::singleShot(0, [&] {
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (popup == nullptr) return;
    for (QAction* action : popup->actions()) {
      menu << action->text() + " " + action->shortcut().toString();
      if (action->text() == "Копировать") action->trigger();
    }
    popup->close();
  });
  const QPoint at = grid.cellRect(2, 2).center();
  QContextMenuEvent event(QContextMenuEvent::Mouse, at, grid.viewport()->mapToGlobal(at));
  QCoreApplication::sendEvent(grid.viewport(), &event);
  EXPECT_EQ(menu, QStringList{"Копировать Ctrl+C"});
  EXPECT_EQ(clipboard->text(), "12,3456\t------\n100,000\t\n");
}
