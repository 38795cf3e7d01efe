#include "app/kit/canvas.h"

#include <algorithm>

void TCanvas::fillRect(const TRect& rect) {
  if (device_ != nullptr) device_->fillRect(rect, brush.color());
}

void TCanvas::rectangle(const TRect& rect) {
  if (device_ == nullptr || rect.IsEmpty()) return;
  fillRect(rect);
  // The pen's width inside the rectangle, on each side.
  const int w = std::min({pen.width(), rect.Width(), rect.Height()});
  for (const TRect& edge : {Bounds(rect.Left, rect.Top, rect.Width(), w), Bounds(rect.Left, rect.Bottom - w, rect.Width(), w),
                            Bounds(rect.Left, rect.Top, w, rect.Height()), Bounds(rect.Right - w, rect.Top, w, rect.Height())})
    device_->fillRect(edge, pen.color());
}

void TCanvas::ellipse(const TRect& rect) {
  if (device_ != nullptr && !rect.IsEmpty()) device_->fillEllipse(rect, brush.color());
}

void TCanvas::lineTo(int x, int y) {
  if (device_ != nullptr) device_->drawLine(penPos_, {x, y}, pen.color(), pen.width(), pen.style());
  penPos_ = {x, y};
}

void TCanvas::textOut(int x, int y, const std::string& text) {
  if (device_ == nullptr || text.empty()) return;
  device_->drawText(x, y, text, font, nullptr);
}

void TCanvas::textRect(const TRect& rect, int x, int y, const std::string& text) {
  if (device_ == nullptr) return;
  fillRect(rect);
  if (!text.empty()) device_->drawText(x, y, text, font, &rect);
}

TSize TCanvas::textExtent(const std::string& text) const {
  return device_ != nullptr ? device_->textExtent(text, font) : TSize{};
}
