// A grid of text cells painted by the grid itself, with a per-cell painting
// handler (OnDrawCell) that runs after the grid's own painting of the cell.
//
// Cells are addressed (column, row) from 0; there are no fixed cells. The
// grid draws 1-pixel lines between all cells, selects a block of cells with
// the mouse (or Shift and the arrow keys), never edits, marks the current
// cell with a focus rectangle while it has keyboard focus, and shows scroll
// bars only when its cells do not fit. Ctrl+C and its context menu's
// "Копировать" put the selected cells on the clipboard as tab-separated
// text; the window may add entries of its own to that menu. Cell texts are
// UTF-8.
//
// All of this is the kit's own; the system gives it a framed surface with
// scroll bars (a framed surface, backend.h) and the painter to draw with.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/kit/canvas.h"
#include "app/kit/control.h"
#include "app/kit/grid_types.h"

class TStringGrid : public TControl, private kit::SurfaceEvents {
 public:
  using TDrawCellEvent =
      std::function<void(TObject* Sender, int ACol, int ARow, const TRect& Rect, TGridDrawState State)>;

  // Text of a cell sits this far in from the cell's top-left corner, as the
  // grid draws it; a handler drawing a cell's text itself keeps to it.
  static constexpr int kTextInset = 2;

  explicit TStringGrid(TForm* parent);
  ~TStringGrid() override;

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
  // Whole rows are selected, the current cell with them, and shown so: a
  // list of records rather than a table of cells.
  void setRowSelect(bool rowSelect);

  // The first column and row shown (scroll position).
  int leftCol() const { return leftCol_; }
  int topRow() const { return topRow_; }
  void setLeftCol(int col);
  void setTopRow(int row);
  // The scroll bar's maximum as the system shows it; 0 while it is hidden.
  int scrollMaximum(kit::ScrollBar bar) const;

  // A cell's rectangle in client pixels, without its grid lines; an empty
  // rectangle when the cell is scrolled out of view.
  TRect cellRect(int col, int row) const;
  // The cell under a client point, if any.
  std::optional<TGridCoord> cellAt(TPoint point) const;
  // The client area: inside the frame, less the scroll bars.
  TSize clientSize() const;
  // The client area as painted now, in device pixels.
  kit::Image grabClient() const;

  // The canvas of the paint in progress, for the OnDrawCell handler.
  TCanvas& canvas() { return canvas_; }

  // What a copy takes: the selection's cells as tab-separated lines, each
  // line ended by a line feed, as spreadsheets paste them; the whole grid
  // when nothing is selected beyond the current cell. A cell for which
  // HiddenCell answers true copies as empty, as it is seen.
  std::string copyText() const;
  void copyToClipboard() const;

  // An entry of the context menu after "Копировать", in the order added,
  // whose choice runs `onClick` with the grid as Sender. An error it raises
  // goes to the standard error box.
  void addMenuItem(const std::string& text, std::function<void(TObject* Sender)> onClick);

  // Paints the grid again: what the OnDrawCell handler draws has changed.
  void invalidate() { repaint(); }

  TDrawCellEvent OnDrawCell;
  // After the current cell or the selection changed.
  std::function<void(TObject* Sender)> OnSelectionChanged;
  // Cells whose text the OnDrawCell handler paints invisible.
  std::function<bool(int ACol, int ARow)> HiddenCell;

 private:
  kit::SurfacePeer& surface() const;

  // kit::SurfaceEvents
  void paint(kit::PaintDevice& device, const TRect& dirty) override;
  void mouseDown(TMouseButton button, TShiftState shift, TPoint at) override;
  void mouseMove(TShiftState shift, TPoint at) override;
  void mouseUp(TMouseButton button, TShiftState shift, TPoint at) override;
  bool keyDown(int key, TShiftState shift) override;
  void contextMenu(TPoint at) override;
  void focusChanged(bool focused) override;
  void resized() override;
  void scrolled(kit::ScrollBar bar, int position) override;

  void checkAddress(int col, int row) const;
  // After a change of the column or row count.
  void reshaped();
  void paintCell(int col, int row, const TRect& rect, TGridDrawState state);
  void updateScrollRanges();
  void moveCurrent(int col, int row);
  void moveAnchor(int col, int row);
  void scrollIntoView(int col, int row);
  TGridCoord clampToGrid(int col, int row) const;
  // The cell nearest to a client point, for dragging past the cells.
  TGridCoord nearestCell(TPoint point) const;
  // The first of `extents` that may be scrolled to: the lowest index from
  // which the remaining extents, each with its grid line, fit in `available`.
  int lastFirstIndex(const std::vector<int>& extents, int available) const;
  int visibleCount(const std::vector<int>& extents, int first, int available) const;
  // The lowest first index with which `last` is shown whole.
  int firstShowing(const std::vector<int>& extents, int last, int available) const;
  void repaint();
  void selectionChanged();

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
  int leftCol_ = 0;
  int topRow_ = 0;
  int maxLeftCol_ = 0;
  int maxTopRow_ = 0;
  bool selecting_ = false;
  bool rowSelect_ = false;
  TCanvas canvas_;
  std::vector<kit::MenuItem> menuItems_;
};
