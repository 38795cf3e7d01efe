#include "app/kit/qt/native.h"

namespace kit::qt {

QPalette::ColorRole SystemColorRole(TColor color) {
  // The system's colour indexes, as the kit's system colours carry them.
  switch (static_cast<std::uint32_t>(color) & ~kSystemColorFlag) {
    case 5: return QPalette::Base;  // window: the background of ordinary cells
    case 8: return QPalette::Text;  // window text
    case 13: return QPalette::Highlight;
    case 14: return QPalette::HighlightedText;
    case 15: return QPalette::Button;  // button face: the window's background
    case 16: return QPalette::Dark;    // button shadow
    case 18: return QPalette::ButtonText;
    case 20: return QPalette::Light;  // button highlight
    default: return QPalette::WindowText;
  }
}

QColor ToQColor(TColor color, const QPalette& palette) {
  if (IsSystemColor(color)) return palette.color(SystemColorRole(color));
  return QColor(RedOf(color), GreenOf(color), BlueOf(color));
}

TColor FromQColor(const QColor& color) {
  const QColor rgb = color.toRgb();
  return RGBColor(static_cast<std::uint8_t>(rgb.red()), static_cast<std::uint8_t>(rgb.green()),
                  static_cast<std::uint8_t>(rgb.blue()));
}

QFont ToQFont(const TFont& font) {
  QFont result;
  result.setFamilies({ToQString(font.Name())});
  result.setPixelSize(font.Height());
  result.setBold(font.Bold());
  result.setItalic(font.Italic());
  result.setUnderline((font.Style() & fsUnderline) != 0);
  result.setStrikeOut((font.Style() & fsStrikeOut) != 0);
  // A fixed-pitch font asks for a typewriter face, so that a missing family
  // falls back to one.
  if (font.Pitch() == TFontPitch::fpFixed) {
    result.setFixedPitch(true);
    result.setStyleHint(QFont::TypeWriter);
  }
  return result;
}

kit::Image ToImage(const QImage& image) {
  const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
  kit::Image result(argb.width(), argb.height());
  for (int y = 0; y < argb.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
    for (int x = 0; x < argb.width(); ++x)
      result.SetPixel(x, y, RGBColor(qRed(line[x]), qGreen(line[x]), qBlue(line[x])), qAlpha(line[x]));
  }
  return result;
}

}  // namespace kit::qt
