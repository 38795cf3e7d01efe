#include "app/kit/canvas.h"

void TCanvas::fillRect(const TRect& rect) {
  if (device_ != nullptr) device_->fillRect(rect, brush.color());
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
