// Points, sizes and rectangles of the window kit, in layout pixels: the
// pixels of a 96 dots-per-inch screen, which the stored layout is written
// in. A backend that draws at another resolution scales them on the way to
// the system and back.
#pragma once

#include <algorithm>

struct TPoint {
  int X = 0;
  int Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
  friend TPoint operator+(TPoint a, TPoint b) { return {a.X + b.X, a.Y + b.Y}; }
};

struct TSize {
  int Width = 0;
  int Height = 0;
  friend bool operator==(const TSize&, const TSize&) = default;
};

// Left and Top lie inside, Right and Bottom just outside, as in the
// system's own rectangles: a cell 60 wide at x 128 runs from 128 to 188.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  TSize Size() const { return {Width(), Height()}; }
  TPoint TopLeft() const { return {Left, Top}; }
  // The last pixel inside, bottom right.
  TPoint BottomRightInside() const { return {Right - 1, Bottom - 1}; }
  TPoint Center() const { return {Left + (Width() - 1) / 2, Top + (Height() - 1) / 2}; }
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  bool Contains(TPoint p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
  bool Intersects(const TRect& r) const {
    return std::max(Left, r.Left) < std::min(Right, r.Right) && std::max(Top, r.Top) < std::min(Bottom, r.Bottom);
  }
  // Moved by (dx, dy).
  TRect Offset(int dx, int dy) const { return {Left + dx, Top + dy, Right + dx, Bottom + dy}; }
  // Each edge moved outwards by the amounts given (inwards when negative).
  TRect Inflate(int dx, int dy) const { return {Left - dx, Top - dy, Right + dx, Bottom + dy}; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

// The rectangle of a given place and size.
constexpr TRect Bounds(int left, int top, int width, int height) { return {left, top, left + width, top + height}; }
