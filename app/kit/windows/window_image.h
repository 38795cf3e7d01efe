// Pictures of windows as kit images, drawn by the windows themselves into
// memory (WM_PRINT): the same whether the window is on the screen, covered
// or hidden.
#pragma once

#include <functional>

#include "app/kit/image.h"
#include "app/kit/windows/native.h"

namespace kit::win {

// A 32-bit top-down bitmap selected into a memory device context.
class MemoryBitmap {
 public:
  MemoryBitmap(int width, int height);
  ~MemoryBitmap();
  MemoryBitmap(const MemoryBitmap&) = delete;
  MemoryBitmap& operator=(const MemoryBitmap&) = delete;

  HDC dc() const { return dc_; }
  Image image() const;

 private:
  int width_;
  int height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ original_ = nullptr;
  const std::uint32_t* bits_ = nullptr;
};

// The window with its frame and, above it, its visible children in their
// stacking order.
Image PrintWindowTree(HWND window);

}  // namespace kit::win
