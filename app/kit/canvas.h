// The drawing surface handed to a grid's cell-painting handler: a font with
// colour, size and style, a brush colour, rectangle filling and text output.
// It draws on the paint device of the paint in progress; outside a paint it
// draws nothing.
#pragma once

#include <string>

#include "app/kit/colors.h"
#include "app/kit/font.h"
#include "app/kit/geometry.h"
#include "app/kit/paint_device.h"

class TBrush {
 public:
  TColor color() const { return color_; }
  void setColor(TColor color) { color_ = color; }

 private:
  TColor color_ = clWindow;
};

class TCanvas {
 public:
  TFont font;
  TBrush brush;

  // Attaches to the device of a paint in progress; nullptr detaches.
  void setDevice(kit::PaintDevice* device) { device_ = device; }
  bool painting() const { return device_ != nullptr; }

  // Fills the rectangle with the brush colour.
  void fillRect(const TRect& rect);
  // Text in the font colour with its top-left corner at (x, y), not clipped.
  void textOut(int x, int y, const std::string& text);
  // Fills rect with the brush colour and draws the text with its top-left
  // corner at (x, y), clipped to rect.
  void textRect(const TRect& rect, int x, int y, const std::string& text);

 private:
  kit::PaintDevice* device_ = nullptr;
};
