// A grid of text cells painted by the grid itself, with a per-cell painting
// handler (OnDrawCell) that runs after the grid's own painting of the cell.
//
// Cells are addressed (column, row) from 0; there are no fixed cells. The
// grid draws 1-pixel lines between all cells, selects a block of cells with
// the mouse (or Shift and the arrow keys), never edits, marks the current
// cell with a focus rectangle while it has keyboard focus, and shows scroll
// bars only when its cells do not fit. Ctrl+C and its context menu's
// "Копировать" put the selected cells on the clipboard as tab-separated
// text. Cell texts are UTF-8 std::strings.
#pragma once

#include <QAbstractScrollArea>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/kit/canvas.h"
#include "app/kit/grid_types.h"

class TStringGrid : public QAbstractScrollArea {
  Q_OBJECT

 public:
  using TDrawCellEvent =
      std::function<void(QObject* Sender, int ACol, int ARow, const QRect& Rect, TGridDrawState State)>;

  explicit TStringGrid(QWidget* parent = nullptr);

  // Shape (stored layout). Changing the counts keeps the texts of the cells
  // that remain; new columns get the default width.
  int colCount() const { return colCount_; }
  void setColCount(int count);
  int rowCount() const { return rowCount_; }
  void setRowCount(int count);
  int defaultColWidth() const { return defaultColWidth_; }
  void setDefaultColWidth(int width);
  int defaultRowHeight() const { return defaultRowHeight_; }
  void setDefaultRowHeight(int height);
  int gridLineWidth() const { return gridLineWidth_; }
  void setGridLineWidth(int width);
  int colWidth(int col) const;
  void setColWidth(int col, int width);
  int rowHeight(int row) const;
  // Character height of the grid's font in pixels (stored layout).
  void setFontHeight(int pixels);
  // Asks for a fixed-pitch face, so that a missing family falls back to one.
  void setFixedPitch(bool fixed);

  // Cell texts. An address outside the grid throws std::out_of_range.
  const std::string& cell(int col, int row) const;
  void setCell(int col, int row, std::string text);

  // The current cell and the selection. The selection always contains the
  // current cell; moving the current cell collapses the selection onto it.
  TGridCoord currentCell() const { return current_; }
  void setCurrentCell(int col, int row);
  TGridRect selection() const;
  // Makes (Left, Top) the current cell and selects the block.
  void setSelection(const TGridRect& rect);

  // The first column and row shown (scroll position).
  int leftCol() const;
  int topRow() const;
  void setLeftCol(int col);
  void setTopRow(int row);

  // A cell's rectangle in client (viewport) pixels, without its grid lines;
  // an empty rectangle when the cell is scrolled out of view.
  QRect cellRect(int col, int row) const;
  // The cell under a client point, if any.
  std::optional<TGridCoord> cellAt(const QPoint& point) const;

  // The canvas of the paint in progress, for the OnDrawCell handler.
  TCanvas& canvas() { return canvas_; }

  // What a copy takes: the selection's cells as tab-separated lines, each
  // line ended by a line feed, as spreadsheets paste them; the whole grid
  // when nothing is selected beyond the current cell. A cell for which
  // HiddenCell answers true copies as empty, as it is seen.
  QString copyText() const;
  void copyToClipboard() const;

  TDrawCellEvent OnDrawCell;
  // Cells whose text the OnDrawCell handler paints invisible.
  std::function<bool(int ACol, int ARow)> HiddenCell;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  void checkAddress(int col, int row) const;
  // After a change of the column or row count.
  void reshaped();
  void paintCell(int col, int row, const QRect& rect, TGridDrawState state);
  void updateScrollRanges();
  void moveCurrent(int col, int row);
  void moveAnchor(int col, int row);
  void scrollIntoView(int col, int row);
  TGridCoord clampToGrid(int col, int row) const;
  // The cell nearest to a client point, for dragging past the cells.
  TGridCoord nearestCell(const QPoint& point) const;
  // The first of `extents` that may be scrolled to: the lowest index from
  // which the remaining extents, each with its grid line, fit in `available`.
  int lastFirstIndex(const std::vector<int>& extents, int available) const;
  int visibleCount(const std::vector<int>& extents, int first, int available) const;

  int colCount_ = 5;
  int rowCount_ = 5;
  int defaultColWidth_ = 64;
  int defaultRowHeight_ = 24;
  int gridLineWidth_ = 1;
  std::vector<int> colWidths_;
  std::vector<int> rowHeights_;
  std::vector<std::string> cells_;  // row by row
  TGridCoord current_;
  TGridCoord anchor_;  // the selection's corner opposite the current cell
  bool selecting_ = false;
  TCanvas canvas_;
};
