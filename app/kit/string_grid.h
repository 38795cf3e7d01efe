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
  int ColCount() const { return colCount_; }
  void SetColCount(int count);
  int RowCount() const { return rowCount_; }
  void SetRowCount(int count);
  int DefaultColWidth() const { return defaultColWidth_; }
  void SetDefaultColWidth(int width);
  int DefaultRowHeight() const { return defaultRowHeight_; }
  void SetDefaultRowHeight(int height);
  int GridLineWidth() const { return gridLineWidth_; }
  void SetGridLineWidth(int width);
  int ColWidth(int col) const;
  void SetColWidth(int col, int width);
  int RowHeight(int row) const;

  // Cell texts. An address outside the grid throws std::out_of_range.
  const std::string& Cell(int col, int row) const;
  void SetCell(int col, int row, std::string text);

  // The current cell and the selection. The selection always contains the
  // current cell; moving the current cell collapses the selection onto it.
  TGridCoord CurrentCell() const { return current_; }
  void SetCurrentCell(int col, int row);
  TGridRect Selection() const;
  // Makes (Left, Top) the current cell and selects the block.
  void SetSelection(const TGridRect& rect);
  // Whole rows are selected, the current cell with them, and shown so: a
  // list of records rather than a table of cells.
  void SetRowSelect(bool rowSelect);

  // The first column and row shown (scroll position).
  int LeftCol() const { return leftCol_; }
  int TopRow() const { return topRow_; }
  void SetLeftCol(int col);
  void SetTopRow(int row);
  // The scroll bar's maximum as the system shows it; 0 while it is hidden.
  int ScrollMaximum(kit::ScrollBar bar) const;

  // A cell's rectangle in client pixels, without its grid lines; an empty
  // rectangle when the cell is scrolled out of view.
  TRect CellRect(int col, int row) const;
  // The cell under a client point, if any.
  std::optional<TGridCoord> CellAt(TPoint point) const;
  // The client area: inside the frame, less the scroll bars.
  TSize ClientSize() const;
  // The client area as painted now, in device pixels.
  kit::Image GrabClient() const;

  // The canvas of the paint in progress, for the OnDrawCell handler.
  TCanvas& Canvas() { return canvas_; }

  // What a copy takes: the selection's cells as tab-separated lines, each
  // line ended by a line feed, as spreadsheets paste them; the whole grid
  // when nothing is selected beyond the current cell. A cell for which
  // HiddenCell answers true copies as empty, as it is seen.
  std::string CopyText() const;
  void CopyToClipboard() const;

  // An entry of the context menu after "Копировать", in the order added,
  // whose choice runs `onClick` with the grid as Sender. An error it raises
  // goes to the standard error box.
  void AddMenuItem(const std::string& text, std::function<void(TObject* Sender)> onClick);

  // Paints the grid again: what the OnDrawCell handler draws has changed.
  void Invalidate() { Repaint(); }

  TDrawCellEvent OnDrawCell;
  // After the current cell or the selection changed.
  std::function<void(TObject* Sender)> OnSelectionChanged;
  // Cells whose text the OnDrawCell handler paints invisible.
  std::function<bool(int ACol, int ARow)> HiddenCell;

 private:
  kit::SurfacePeer& Surface() const;

  // kit::SurfaceEvents
  void Paint(kit::PaintDevice& device, const TRect& dirty) override;
  void MouseDown(TMouseButton button, TShiftState shift, TPoint at) override;
  void MouseMove(TShiftState shift, TPoint at) override;
  void MouseUp(TMouseButton button, TShiftState shift, TPoint at) override;
  bool KeyDown(int key, TShiftState shift) override;
  void ContextMenu(TPoint at) override;
  void FocusChanged(bool focused) override;
  void Resized() override;
  void Scrolled(kit::ScrollBar bar, int position) override;

  void CheckAddress(int col, int row) const;
  // After a change of the column or row count.
  void Reshaped();
  void PaintCell(int col, int row, const TRect& rect, TGridDrawState state);
  void UpdateScrollRanges();
  void MoveCurrent(int col, int row);
  void MoveAnchor(int col, int row);
  void ScrollIntoView(int col, int row);
  TGridCoord ClampToGrid(int col, int row) const;
  // The cell nearest to a client point, for dragging past the cells.
  TGridCoord NearestCell(TPoint point) const;
  // The first of `extents` that may be scrolled to: the lowest index from
  // which the remaining extents, each with its grid line, fit in `available`.
  int LastFirstIndex(const std::vector<int>& extents, int available) const;
  int VisibleCount(const std::vector<int>& extents, int first, int available) const;
  // The lowest first index with which `last` is shown whole.
  int FirstShowing(const std::vector<int>& extents, int last, int available) const;
  void Repaint();
  void SelectionChanged();

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
