#include "app/kit/colors.h"

QColor ToQColor(TColor color) {
  const auto bgr = static_cast<std::uint32_t>(color);
  return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

TColor FromQColor(const QColor& color) {
  const QColor rgb = color.toRgb();
  return TColor{static_cast<std::uint32_t>(rgb.red()) | static_cast<std::uint32_t>(rgb.green()) << 8 |
                static_cast<std::uint32_t>(rgb.blue()) << 16};
}
