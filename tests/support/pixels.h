// Looking at what a control shows: counting pixels of a rectangle and
// finding where ink begins.
#pragma once

#include <algorithm>
#include <functional>

#include "app/kit/colors.h"
#include "app/kit/geometry.h"
#include "app/kit/image.h"

inline int CountPixels(const kit::Image& image, const TRect& rect, const std::function<bool(TColor)>& test) {
  int count = 0;
  for (int y = rect.Top; y < rect.Bottom; ++y)
    for (int x = rect.Left; x < rect.Right; ++x) count += test(image.Pixel(x, y)) ? 1 : 0;
  return count;
}

inline int CountNot(const kit::Image& image, const TRect& rect, TColor colour) {
  return CountPixels(image, rect, [&](TColor c) { return c != colour; });
}

// The smallest rectangle around the pixels that are not `background`;
// empty when there are none.
inline TRect InkBounds(const kit::Image& image, const TRect& rect, TColor background) {
  TRect ink{rect.Right, rect.Bottom, rect.Left, rect.Top};
  for (int y = rect.Top; y < rect.Bottom; ++y)
    for (int x = rect.Left; x < rect.Right; ++x)
      if (image.Pixel(x, y) != background)
        ink = {std::min(ink.Left, x), std::min(ink.Top, y), std::max(ink.Right, x + 1), std::max(ink.Bottom, y + 1)};
  return ink.IsEmpty() ? TRect{} : ink;
}

// Leftmost column of the rectangle, counted from its left edge, holding a
// pixel that is not `background`; -1 when there is none.
inline int FirstInkColumn(const kit::Image& image, const TRect& rect, TColor background) {
  const TRect ink = InkBounds(image, rect, background);
  return ink.IsEmpty() ? -1 : ink.Left - rect.Left;
}

inline int Brightness(TColor c) { return RedOf(c) + GreenOf(c) + BlueOf(c); }

// A sunken edge: light falls from the top left, so the top and left edges
// are in shadow and the bottom and right ones lit.
inline bool LooksSunken(const kit::Image& image) {
  const int midX = image.Width() / 2;
  const int midY = image.Height() / 2;
  return Brightness(image.Pixel(midX, 0)) < Brightness(image.Pixel(midX, image.Height() - 1)) &&
         Brightness(image.Pixel(0, midY)) < Brightness(image.Pixel(image.Width() - 1, midY));
}
