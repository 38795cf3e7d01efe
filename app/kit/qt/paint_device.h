// The kit's paint device over the QPainter of a paint in progress.
#pragma once

#include <QPainter>
#include <QPalette>

#include "app/kit/paint_device.h"

namespace kit::qt {

class NativePaintDevice final : public PaintDevice {
 public:
  // System colours are those of `palette`: the painted widget's.
  NativePaintDevice(QPainter& painter, const QPalette& palette) : painter_(painter), palette_(palette) {}

  void FillRect(const TRect& rect, TColor color) override;
  void DrawTextIn(int x, int y, const std::string& text, const TFont& font, const TRect* clip) override;
  void DrawFocusRect(const TRect& rect) override;
  void DrawLine(TPoint from, TPoint to, TColor color, int width, TPenStyle style) override;
  void FillEllipse(const TRect& rect, TColor color) override;
  TSize TextExtent(const std::string& text, const TFont& font) override;

 private:
  QPainter& painter_;
  const QPalette& palette_;
};

}  // namespace kit::qt
