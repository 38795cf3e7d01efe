// The drawing surface handed to a painting handler (a grid's cells, a paint
// box): a font with colour, size and style, a brush colour for filling, a
// pen for lines, and text output. It draws on the paint device of the paint
// in progress; outside a paint it draws nothing and measures nothing.
#pragma once

#include <string>

#include "app/kit/colors.h"
#include "app/kit/font.h"
#include "app/kit/geometry.h"
#include "app/kit/paint_device.h"

class TBrush {
 public:
  TColor Color() const { return color_; }
  void SetColor(TColor color) { color_ = color; }

 private:
  TColor color_ = clWindow;
};

class TPen {
 public:
  TColor Color() const { return color_; }
  void SetColor(TColor color) { color_ = color; }
  int Width() const { return width_; }
  void SetWidth(int width) { width_ = width < 1 ? 1 : width; }
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle style) { style_ = style; }

 private:
  TColor color_ = clWindowText;
  int width_ = 1;
  TPenStyle style_ = TPenStyle::psSolid;
};

class TCanvas {
 public:
  TFont font;
  TBrush brush;
  TPen pen;

  // Attaches to the device of a paint in progress; nullptr detaches.
  void SetDevice(kit::PaintDevice* device) { device_ = device; }
  bool Painting() const { return device_ != nullptr; }

  // Fills the rectangle with the brush colour.
  void FillRect(const TRect& rect);
  // Fills the rectangle with the brush colour and outlines it along its
  // inside edge, in the pen's colour and width (always solid).
  void Rectangle(const TRect& rect);
  // The ellipse that fits in the rectangle, filled with the brush colour.
  void Ellipse(const TRect& rect);
  // A line with the pen from the pen position to (x, y), which becomes the
  // pen position; the point (x, y) itself is left out.
  void MoveTo(int x, int y) { penPos_ = {x, y}; }
  void LineTo(int x, int y);
  // Text in the font colour with its top-left corner at (x, y), not clipped.
  void TextAt(int x, int y, const std::string& text);
  // Fills rect with the brush colour and draws the text with its top-left
  // corner at (x, y), clipped to rect.
  void TextRect(const TRect& rect, int x, int y, const std::string& text);
  // The size TextAt takes for the text in the current font.
  TSize TextExtent(const std::string& text) const;

 private:
  kit::PaintDevice* device_ = nullptr;
  TPoint penPos_;
};
