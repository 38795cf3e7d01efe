#include "app/kit/windows/paint_device.h"

#include <algorithm>
#include <cmath>

#include "app/kit/backend.h"

namespace kit::win {

NativePaintDevice::NativePaintDevice(HDC dc, int dpi, Surface surface) : dc_(dc), dpi_(dpi), surface_(surface) {
  // Glyphs only: no text background box.
  ::SetBkMode(dc_, TRANSPARENT);
  ::SetTextAlign(dc_, TA_LEFT | TA_TOP | TA_NOUPDATECP);
}

NativePaintDevice::~NativePaintDevice() {
  if (originalFont_ != nullptr) ::SelectObject(dc_, originalFont_);
}

COLORREF NativePaintDevice::Rgb(TColor color) const {
  return static_cast<COLORREF>(surface_ == Surface::Paper ? PaperColor(color) : ColorToRGB(color));
}

void NativePaintDevice::FillRect(const TRect& rect, TColor color) {
  const RECT device = ToDevice(rect, dpi_);
  ::SetDCBrushColor(dc_, Rgb(color));
  ::FillRect(dc_, &device, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
}

HFONT NativePaintDevice::FontFor(const TFont& font) {
  FontKey key{font.Name(), font.Height(), font.Style(), font.Pitch(), font.Charset()};
  auto found = fonts_.find(key);
  if (found == fonts_.end()) found = fonts_.emplace(key, GdiFont(font, dpi_)).first;
  return found->second.get();
}

void NativePaintDevice::DrawTextIn(int x, int y, const std::string& text, const TFont& font, const TRect* clip) {
  const HGDIOBJ previous = ::SelectObject(dc_, FontFor(font));
  if (originalFont_ == nullptr) originalFont_ = previous;
  ::SetTextColor(dc_, Rgb(font.Color()));
  const std::wstring wide = Wide(text);
  RECT clipRect{};
  if (clip != nullptr) clipRect = ToDevice(*clip, dpi_);
  win::DrawLine(dc_, ToDevice(x, dpi_), ToDevice(y, dpi_), wide, clip != nullptr ? &clipRect : nullptr);
}

void NativePaintDevice::DrawFocusRect(const TRect& rect) {
  const RECT device = ToDevice(rect, dpi_);
  // The dotted frame is an inversion; the colours decide nothing but must
  // be the defaults for the pattern to invert as the system draws it.
  ::SetTextColor(dc_, RGB(0, 0, 0));
  ::SetBkColor(dc_, RGB(255, 255, 255));
  ::DrawFocusRect(dc_, &device);
}

void NativePaintDevice::DrawLine(TPoint from, TPoint to, TColor color, int width, TPenStyle style) {
  if (style == TPenStyle::psDash && surface_ == Surface::Paper) return DrawDashes(from, to, color, width);
  // A geometric pen: its width scales with the resolution, its ends are flat.
  LOGBRUSH brush{BS_SOLID, Rgb(color), 0};
  const DWORD dash = style == TPenStyle::psDash ? PS_DASH : PS_SOLID;
  HPEN pen = ::ExtCreatePen(PS_GEOMETRIC | dash | PS_ENDCAP_FLAT | PS_JOIN_MITER,
                            static_cast<DWORD>(std::max(1, ToDevice(width, dpi_))), &brush, 0, nullptr);
  if (pen == nullptr) return;
  const HGDIOBJ previous = ::SelectObject(dc_, pen);
  // The line runs through the pixels' centres, as the Qt backend's does.
  const int half = ToDevice(1, dpi_) / 2;
  ::MoveToEx(dc_, ToDevice(from.X, dpi_) + half, ToDevice(from.Y, dpi_) + half, nullptr);
  ::LineTo(dc_, ToDevice(to.X, dpi_) + half, ToDevice(to.Y, dpi_) + half);
  ::SelectObject(dc_, previous);
  ::DeleteObject(pen);
}

void NativePaintDevice::DrawDashes(TPoint from, TPoint to, TColor color, int width) {
  // Dashes four widths long with gaps of two, as Qt draws them; a printer's
  // driver may ignore a geometric pen's dashes (Wine's PostScript one does).
  const double dx = to.X - from.X;
  const double dy = to.Y - from.Y;
  const double length = std::hypot(dx, dy);
  const double dash = 4.0 * std::max(1, width);
  const double gap = 2.0 * std::max(1, width);
  for (double at = 0; at < length; at += dash + gap) {
    const double end = std::min(length, at + dash);
    const auto point = [&](double along) {
      return TPoint{from.X + static_cast<int>(std::lround(dx * along / length)),
                    from.Y + static_cast<int>(std::lround(dy * along / length))};
    };
    DrawLine(point(at), point(end), color, width, TPenStyle::psSolid);
  }
}

void NativePaintDevice::FillEllipse(const TRect& rect, TColor color) {
  const RECT device = ToDevice(rect, dpi_);
  const COLORREF colour = Rgb(color);
  ::SetDCBrushColor(dc_, colour);
  ::SetDCPenColor(dc_, colour);
  const HGDIOBJ previousBrush = ::SelectObject(dc_, ::GetStockObject(DC_BRUSH));
  const HGDIOBJ previousPen = ::SelectObject(dc_, ::GetStockObject(DC_PEN));
  // Outlined in its own colour: without a pen the system's ellipse comes
  // out a pixel smaller.
  ::Ellipse(dc_, device.left, device.top, device.right, device.bottom);
  ::SelectObject(dc_, previousPen);
  ::SelectObject(dc_, previousBrush);
}

TSize NativePaintDevice::TextExtent(const std::string& text, const TFont& font) {
  // A printer's glyphs are measured on the printer: the screen's, at the
  // same pixel height, are hinted to other widths.
  const SIZE extent = win::TextExtent(FontFor(font), Wide(text), surface_ == Surface::Paper ? dc_ : nullptr);
  return {LayoutCeil(extent.cx, dpi_), LayoutCeil(extent.cy, dpi_)};
}

}  // namespace kit::win
