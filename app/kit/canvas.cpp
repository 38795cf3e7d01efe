#include "app/kit/canvas.h"

#include <algorithm>

void TCanvas::FillRect(const TRect& rect) {
  if (device_ != nullptr) device_->FillRect(rect, brush.Color());
}

void TCanvas::Rectangle(const TRect& rect) {
  if (device_ == nullptr || rect.IsEmpty()) return;
  FillRect(rect);
  // The pen's width inside the rectangle, on each side.
  const int w = std::min({pen.Width(), rect.Width(), rect.Height()});
  for (const TRect& edge :
       {Bounds(rect.Left, rect.Top, rect.Width(), w), Bounds(rect.Left, rect.Bottom - w, rect.Width(), w),
        Bounds(rect.Left, rect.Top, w, rect.Height()), Bounds(rect.Right - w, rect.Top, w, rect.Height())})
    device_->FillRect(edge, pen.Color());
}

void TCanvas::Ellipse(const TRect& rect) {
  if (device_ != nullptr && !rect.IsEmpty()) device_->FillEllipse(rect, brush.Color());
}

void TCanvas::LineTo(int x, int y) {
  if (device_ != nullptr) device_->DrawLine(penPos_, {x, y}, pen.Color(), pen.Width(), pen.Style());
  penPos_ = {x, y};
}

void TCanvas::TextAt(int x, int y, const std::string& text) {
  if (device_ == nullptr || text.empty()) return;
  device_->DrawTextIn(x, y, text, font, nullptr);
}

void TCanvas::TextRect(const TRect& rect, int x, int y, const std::string& text) {
  if (device_ == nullptr) return;
  FillRect(rect);
  if (!text.empty()) device_->DrawTextIn(x, y, text, font, &rect);
}

TSize TCanvas::TextExtent(const std::string& text) const {
  return device_ != nullptr ? device_->TextExtent(text, font) : TSize{};
}
