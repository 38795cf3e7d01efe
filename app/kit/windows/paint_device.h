// The paint device over a GDI device context: layout pixels in, device
// pixels of the window's resolution out. On a printer's context the
// drawing's pixels are the printer's own (a resolution of kLayoutDpi
// scales nothing) and system colours are those of paper.
#pragma once

#include <map>
#include <tuple>

#include "app/kit/paint_device.h"
#include "app/kit/windows/fonts.h"

namespace kit::win {

class NativePaintDevice final : public PaintDevice {
 public:
  enum class Surface { Screen, Paper };
  NativePaintDevice(HDC dc, int dpi, Surface surface = Surface::Screen);
  ~NativePaintDevice() override;

  void FillRect(const TRect& rect, TColor color) override;
  void DrawTextIn(int x, int y, const std::string& text, const TFont& font, const TRect* clip) override;
  void DrawFocusRect(const TRect& rect) override;
  void DrawLine(TPoint from, TPoint to, TColor color, int width, TPenStyle style) override;
  void FillEllipse(const TRect& rect, TColor color) override;
  TSize TextExtent(const std::string& text, const TFont& font) override;

 private:
  HFONT FontFor(const TFont& font);
  void DrawDashes(TPoint from, TPoint to, TColor color, int width);
  // The colour to draw with: a system colour as the desktop or paper has it.
  COLORREF Rgb(TColor color) const;

  HDC dc_;
  int dpi_;
  Surface surface_;
  HGDIOBJ originalFont_ = nullptr;
  // A paint uses a handful of fonts over and over (one per cell).
  using FontKey = std::tuple<std::string, int, TFontStyles, TFontPitch, int>;
  std::map<FontKey, GdiFont> fonts_;
};

}  // namespace kit::win
