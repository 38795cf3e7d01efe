// What a control shows, as pixels: for the tests that check the painting
// and for screenshots. Device pixels: at a resolution above 96 dots per
// inch an image is larger than the control's layout size.
#pragma once

#include <cstdint>
#include <vector>

#include "app/kit/colors.h"
#include "app/kit/geometry.h"

namespace kit {

class Image {
 public:
  Image() = default;
  Image(int width, int height)
      : width_(width), height_(height), pixels_(std::size_t(width) * height), alpha_(pixels_.size(), 255) {}

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool IsNull() const { return width_ <= 0 || height_ <= 0; }
  TRect Rect() const { return Bounds(0, 0, width_, height_); }

  // A pixel's colour, and apart from it its opacity (255 opaque, 0 fully
  // transparent: only icons have any).
  TColor Pixel(int x, int y) const { return pixels_.at(Index(x, y)); }
  TColor Pixel(TPoint p) const { return Pixel(p.X, p.Y); }
  int Alpha(int x, int y) const { return alpha_.at(Index(x, y)); }
  void SetPixel(int x, int y, TColor color, int alpha = 255) {
    pixels_.at(Index(x, y)) = color;
    alpha_.at(Index(x, y)) = static_cast<std::uint8_t>(alpha);
  }

 private:
  int width_ = 0;
  int height_ = 0;
  std::size_t Index(int x, int y) const { return std::size_t(y) * width_ + x; }

  std::vector<TColor> pixels_;
  std::vector<std::uint8_t> alpha_;
};

}  // namespace kit
