// Cell addressing and per-cell state of the string grid. Columns and rows
// count from 0; a cell is always given as (column, row).
#pragma once

// Any grid's cell; the measurement table's own address (stopwatch::Cell)
// lives below the toolkit, where this one cannot be seen.
struct TGridCoord {
  int X = 0;  // column
  int Y = 0;  // row
  friend bool operator==(const TGridCoord&, const TGridCoord&) = default;
};

// An inclusive block of cells.
struct TGridRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  bool Contains(int col, int row) const { return col >= Left && col <= Right && row >= Top && row <= Bottom; }
  friend bool operator==(const TGridRect&, const TGridRect&) = default;
};

// How a cell is being painted.
struct TGridDrawState {
  bool Selected = false;  // inside the selection
  bool Focused = false;   // the current cell while the grid has keyboard focus
};
