#include "app/kit/windows/gdi_paint_device.h"

namespace kit::win {

GdiPaintDevice::GdiPaintDevice(HDC dc, int dpi) : dc_(dc), dpi_(dpi) {
  // Glyphs only: no text background box.
  ::SetBkMode(dc_, TRANSPARENT);
  ::SetTextAlign(dc_, TA_LEFT | TA_TOP | TA_NOUPDATECP);
}

GdiPaintDevice::~GdiPaintDevice() {
  if (originalFont_ != nullptr) ::SelectObject(dc_, originalFont_);
}

void GdiPaintDevice::fillRect(const TRect& rect, TColor color) {
  const RECT device = ToDevice(rect, dpi_);
  ::SetDCBrushColor(dc_, static_cast<COLORREF>(ColorToRGB(color)));
  ::FillRect(dc_, &device, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
}

HFONT GdiPaintDevice::fontFor(const TFont& font) {
  FontKey key{font.name(), font.height(), font.style(), font.pitch(), font.charset()};
  auto found = fonts_.find(key);
  if (found == fonts_.end()) found = fonts_.emplace(key, GdiFont(font, dpi_)).first;
  return found->second.get();
}

void GdiPaintDevice::drawText(int x, int y, const std::string& text, const TFont& font, const TRect* clip) {
  const HGDIOBJ previous = ::SelectObject(dc_, fontFor(font));
  if (originalFont_ == nullptr) originalFont_ = previous;
  ::SetTextColor(dc_, static_cast<COLORREF>(ColorToRGB(font.color())));
  const std::wstring wide = Wide(text);
  RECT clipRect{};
  if (clip != nullptr) clipRect = ToDevice(*clip, dpi_);
  DrawLine(dc_, ToDevice(x, dpi_), ToDevice(y, dpi_), wide, clip != nullptr ? &clipRect : nullptr);
}

void GdiPaintDevice::drawFocusRect(const TRect& rect) {
  const RECT device = ToDevice(rect, dpi_);
  // The dotted frame is an inversion; the colours decide nothing but must
  // be the defaults for the pattern to invert as the system draws it.
  ::SetTextColor(dc_, RGB(0, 0, 0));
  ::SetBkColor(dc_, RGB(255, 255, 255));
  ::DrawFocusRect(dc_, &device);
}

}  // namespace kit::win
