// Pictures of windows as kit images: what a shown window shows on the
// screen, or what a hidden one would, drawn by itself into memory.
#pragma once

#include <functional>
#include <optional>

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

  HDC Dc() const { return dc_; }
  Image Pixels() const;

 private:
  int width_;
  int height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ original_ = nullptr;
  const std::uint32_t* bits_ = nullptr;
};

// The paint messages of a window that paints every pixel of its client
// area itself, answered: WM_PAINT through a memory bitmap the size of the
// client area, which goes to the screen in one piece (no flicker);
// WM_PRINTCLIENT straight into the given context; WM_ERASEBKGND not at all.
// `PaintInto` draws the part in need (device pixels). Empty for any other
// message.
std::optional<LRESULT> AnswerOwnPainting(HWND window, UINT message, WPARAM wParam,
                                         const std::function<void(HDC dc, const RECT& dirty)>& paintInto);

// The window with its frame and, above it, its visible children in their
// stacking order, drawn into memory (WM_PRINT).
Image PrintWindowTree(HWND window);

// The window's outer area as it is on the screen now, once everything
// waiting to be painted has been; a hidden window as PrintWindowTree.
Image GrabWindow(HWND window);
// The same for the client area alone.
Image GrabClientArea(HWND window);

}  // namespace kit::win
