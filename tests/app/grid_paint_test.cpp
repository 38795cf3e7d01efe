// What the grid looks like: its own painting and the window's cell handler.
#include <QApplication>
#include <QImage>
#include <QRawFont>
#include <cstdlib>
#include <functional>

#include "tests/app/window_fixture.h"

namespace {

const QColor kYellow(255, 255, 0);

bool IsMaroonish(QColor c) { return c.red() > 90 && c.red() < 170 && c.green() < 60 && c.blue() < 60; }

class PaintedGrid : public StartedWindow {
 protected:
  QImage Render() { return grid.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32); }

  int CountPixels(const QImage& image, const QRect& rect, const std::function<bool(QColor)>& test) {
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
      for (int x = rect.left(); x <= rect.right(); ++x) count += test(image.pixelColor(x, y)) ? 1 : 0;
    return count;
  }
  int CountNot(const QImage& image, const QRect& rect, const QColor& colour) {
    return CountPixels(image, rect, [&](QColor c) { return c != colour; });
  }
  // Leftmost column of the rectangle holding a pixel that is not `background`.
  int FirstInkColumn(const QImage& image, const QRect& rect, const QColor& background) {
    for (int x = rect.left(); x <= rect.right(); ++x)
      for (int y = rect.top(); y <= rect.bottom(); ++y)
        if (image.pixelColor(x, y) != background) return x - rect.left();
    return -1;
  }
  QColor Palette(QPalette::ColorRole role) { return grid.palette().color(role); }
};

}  // namespace

TEST_F(PaintedGrid, HeaderCellsShowMaroonTextOnYellow) {
  const QImage image = Render();
  for (auto [col, row] : {std::pair{0, 0}, {5, 0}, {10, 0}, {0, 1}, {0, 9}}) {
    const QRect rect = grid.cellRect(col, row);
    EXPECT_EQ(image.pixelColor(rect.bottomRight()), kYellow) << col << "," << row;
    EXPECT_GT(CountPixels(image, rect, IsMaroonish), 10) << col << "," << row;
    // Only yellow and the text's shades of maroon.
    EXPECT_EQ(CountPixels(image, rect, [](QColor c) { return c.red() < 90 || c.blue() > 60; }), 0)
        << col << "," << row;
  }
  // The header cell that is never written is plain yellow.
  EXPECT_EQ(CountNot(image, grid.cellRect(1, 0), kYellow), 0);
}

TEST_F(PaintedGrid, DataCellsUseTheWindowColourAndTheGridFont) {
  grid.setCell(3, 3, "12.3456");
  const QImage image = Render();
  EXPECT_EQ(CountNot(image, grid.cellRect(2, 2), Palette(QPalette::Base)), 0);
  const QRect rect = grid.cellRect(3, 3);
  EXPECT_GT(CountNot(image, rect, Palette(QPalette::Base)), 10);
  // The grid's text colour, not the header maroon: the header font never reaches data cells.
  EXPECT_EQ(CountPixels(image, rect, IsMaroonish), 0);
  // Data text starts 2 pixels in from the left edge.
  EXPECT_GE(FirstInkColumn(image, rect, Palette(QPalette::Base)), 2);
}

TEST_F(PaintedGrid, HeaderTextStartsAtTheCornerAndIsNotClipped) {
  const QImage empty = Render();
  const QString block = QString(u'\u2588').repeated(12);
  // Drawn in the grid's own font, not in a fallback whose glyph sits elsewhere.
  ASSERT_TRUE(QRawFont::fromFont(grid.font()).supportsCharacter(U'\u2588'));
  grid.setCell(1, 0, block.toStdString());
  grid.setCell(1, 1, block.toStdString());
  const QImage image = Render();

  const QRect header = grid.cellRect(1, 0);
  EXPECT_LE(FirstInkColumn(image, header, kYellow), 1);
  EXPECT_GE(FirstInkColumn(image, grid.cellRect(1, 1), Palette(QPalette::Base)), 2);

  // The text runs on over the grid line right of the header cell, while the
  // data cell's text stops at its own edge.
  const QRect headerLine(header.right() + 1, header.top(), 1, header.height());
  const QRect dataLine(header.right() + 1, grid.cellRect(1, 1).top(), 1, header.height());
  EXPECT_GT(CountPixels(image, headerLine, [&](QColor c) { return c != empty.pixelColor(headerLine.topLeft()); }), 0);
  for (int y = dataLine.top(); y <= dataLine.bottom(); ++y)
    EXPECT_EQ(image.pixelColor(dataLine.left(), y), empty.pixelColor(dataLine.left(), y)) << y;
}

TEST_F(PaintedGrid, LastRowCellsFromColumnFiveVanishEvenWithText) {
  grid.setCell(5, 9, "01.02.2024");
  grid.setCell(6, 9, "12:34:56");
  grid.setCell(10, 9, "99999.9");
  const QImage image = Render();
  // Text blended onto its own colour may come out one step off through
  // rounding; that is still invisible.
  const QColor face = Palette(QPalette::Button);
  const auto invisible = [&](QColor c) {
    return std::abs(c.red() - face.red()) <= 1 && std::abs(c.green() - face.green()) <= 1 &&
           std::abs(c.blue() - face.blue()) <= 1;
  };
  for (int col = 5; col <= 10; ++col) {
    const QRect rect = grid.cellRect(col, 9);
    EXPECT_EQ(CountPixels(image, rect, [&](QColor c) { return !invisible(c); }), 0) << col;
    EXPECT_EQ(image.pixelColor(rect.topLeft()), face) << col;
  }
  // Slot 83's cell, just before them, is an ordinary data cell.
  EXPECT_EQ(CountNot(image, grid.cellRect(4, 9), Palette(QPalette::Base)), 0);
}

TEST_F(PaintedGrid, SelectionHighlightsDataCellsButNotHeaders) {
  grid.setSelection({0, 0, 3, 3});
  grid.setCell(2, 2, "1.5");
  const QImage image = Render();
  const QColor highlight = Palette(QPalette::Highlight);
  EXPECT_EQ(image.pixelColor(grid.cellRect(0, 2).bottomRight()), kYellow);
  EXPECT_EQ(image.pixelColor(grid.cellRect(2, 0).bottomRight()), kYellow);
  EXPECT_GT(CountPixels(image, grid.cellRect(0, 2), IsMaroonish), 10);
  EXPECT_EQ(CountNot(image, grid.cellRect(1, 1), highlight), 0);
  EXPECT_EQ(CountNot(image, grid.cellRect(3, 3), highlight), 0);
  // Selected text is drawn in the highlighted-text colour.
  EXPECT_GT(CountNot(image, grid.cellRect(2, 2), highlight), 0);
  EXPECT_EQ(CountNot(image, grid.cellRect(4, 4), Palette(QPalette::Base)), 0);
}

TEST_F(PaintedGrid, FocusedCellKeepsItsColoursAndGetsTheFocusRectangle) {
  form->activateWindow();
  grid.setFocus();
  QApplication::processEvents();
  ASSERT_TRUE(grid.hasFocus());
  grid.setSelection({2, 2, 4, 4});
  const QImage image = Render();
  const QRect focused = grid.cellRect(2, 2);
  const QColor base = Palette(QPalette::Base);
  // The inside stays in the window colour; the dotted rectangle marks the edge.
  EXPECT_EQ(CountNot(image, focused.adjusted(1, 1, -1, -1), base), 0);
  EXPECT_GT(CountNot(image, QRect(focused.topLeft(), QSize(focused.width(), 1)), base), 0);
  EXPECT_EQ(CountNot(image, grid.cellRect(3, 3), Palette(QPalette::Highlight)), 0);

  // Without keyboard focus the current cell shows as selected like the rest.
  form->Button2->setFocus();
  QApplication::processEvents();
  ASSERT_FALSE(grid.hasFocus());
  const QImage unfocused = Render();
  EXPECT_EQ(CountNot(unfocused, focused, Palette(QPalette::Highlight)), 0);
}
