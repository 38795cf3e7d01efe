#include "app/kit/windows/window_image.h"

namespace kit::win {

MemoryBitmap::MemoryBitmap(int width, int height) : width_(std::max(width, 1)), height_(std::max(height, 1)) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width_;
  info.bmiHeader.biHeight = -height_;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  dc_ = ::CreateCompatibleDC(nullptr);
  bitmap_ = ::CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bits_ = static_cast<const std::uint32_t*>(bits);
  original_ = ::SelectObject(dc_, bitmap_);
}

MemoryBitmap::~MemoryBitmap() {
  ::SelectObject(dc_, original_);
  ::DeleteObject(bitmap_);
  ::DeleteDC(dc_);
}

Image MemoryBitmap::Pixels() const {
  ::GdiFlush();
  Image image(width_, height_);
  if (bits_ == nullptr) return image;
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      const std::uint32_t pixel = bits_[static_cast<std::size_t>(y) * width_ + x];  // 0x00RRGGBB
      image.SetPixel(x, y, RGBColor((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF));
    }
  return image;
}

namespace {

// Prints `window` with its origin at `origin` in `dc`, then its children
// from the bottom of the stack up, each clipped to its own rectangle.
void PrintInto(HDC dc, HWND window, POINT origin, const RECT& clip) {
  const int saved = ::SaveDC(dc);
  ::IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
  ::SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
  ::SendMessageW(window, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
  ::RestoreDC(dc, saved);

  RECT outer;
  ::GetWindowRect(window, &outer);
  HWND child = ::GetWindow(window, GW_CHILD);
  if (child == nullptr) return;
  for (child = ::GetWindow(child, GW_HWNDLAST); child != nullptr; child = ::GetWindow(child, GW_HWNDPREV)) {
    if ((::GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE) == 0) continue;
    RECT rect;
    ::GetWindowRect(child, &rect);
    const POINT at{origin.x + rect.left - outer.left, origin.y + rect.top - outer.top};
    // Children show only inside their parent's client area.
    RECT client;
    ::GetClientRect(window, &client);
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    RECT inside{origin.x + client.left - outer.left, origin.y + client.top - outer.top,
                origin.x + client.right - outer.left, origin.y + client.bottom - outer.top};
    RECT own{at.x, at.y, at.x + rect.right - rect.left, at.y + rect.bottom - rect.top};
    RECT visible;
    if (::IntersectRect(&visible, &own, &inside) && ::IntersectRect(&visible, &visible, &clip))
      PrintInto(dc, child, at, visible);
  }
}

}  // namespace

Image PrintWindowTree(HWND window) {
  RECT outer;
  ::GetWindowRect(window, &outer);
  MemoryBitmap bitmap(outer.right - outer.left, outer.bottom - outer.top);
  const RECT all{0, 0, outer.right - outer.left, outer.bottom - outer.top};
  PrintInto(bitmap.Dc(), window, {0, 0}, all);
  return bitmap.Pixels();
}

namespace {

// What the screen shows of a window: its device context reads the pixels
// there, siblings above it included.
Image ReadScreen(HWND window, bool clientOnly) {
  ::RedrawWindow(::GetAncestor(window, GA_ROOT), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT area;
  if (clientOnly)
    ::GetClientRect(window, &area);
  else
    ::GetWindowRect(window, &area);
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  MemoryBitmap bitmap(width, height);
  HDC screen = clientOnly ? ::GetDC(window) : ::GetWindowDC(window);
  ::BitBlt(bitmap.Dc(), 0, 0, width, height, screen, 0, 0, SRCCOPY);
  ::ReleaseDC(window, screen);
  return bitmap.Pixels();
}

}  // namespace

namespace {

void PaintBuffered(HWND window, const std::function<void(HDC dc, const RECT& dirty)>& paintInto) {
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(window, &paint);
  RECT client;
  ::GetClientRect(window, &client);
  if (!::IsRectEmpty(&paint.rcPaint) && client.right > 0 && client.bottom > 0) {
    MemoryBitmap buffer(client.right, client.bottom);
    paintInto(buffer.Dc(), paint.rcPaint);
    const RECT& r = paint.rcPaint;
    ::BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, buffer.Dc(), r.left, r.top, SRCCOPY);
  }
  ::EndPaint(window, &paint);
}

}  // namespace

std::optional<LRESULT> AnswerOwnPainting(HWND window, UINT message, WPARAM wParam,
                                         const std::function<void(HDC dc, const RECT& dirty)>& paintInto) {
  switch (message) {
    case WM_PAINT: PaintBuffered(window, paintInto); return 0;
    case WM_PRINTCLIENT: {
      RECT client;
      ::GetClientRect(window, &client);
      paintInto(reinterpret_cast<HDC>(wParam), client);
      return 0;
    }
    case WM_ERASEBKGND: return 1;  // every pixel is painted
  }
  return std::nullopt;
}

Image GrabWindow(HWND window) {
  if (!::IsWindowVisible(window)) return PrintWindowTree(window);
  return ReadScreen(window, false);
}

Image GrabClientArea(HWND window) {
  if (::IsWindowVisible(window)) return ReadScreen(window, true);
  // Hidden: the whole tree, less the frame around the client area.
  const Image whole = PrintWindowTree(window);
  RECT outer;
  RECT client;
  ::GetWindowRect(window, &outer);
  ::GetClientRect(window, &client);
  ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
  Image image(client.right - client.left, client.bottom - client.top);
  for (int y = 0; y < image.Height(); ++y)
    for (int x = 0; x < image.Width(); ++x)
      image.SetPixel(x, y, whole.Pixel(x + client.left - outer.left, y + client.top - outer.top));
  return image;
}

}  // namespace kit::win
