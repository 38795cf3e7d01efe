// What the Qt backend's files share: the kit's values as Qt's and back
// (rectangles, colours, system colours through a palette, fonts, images).
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPalette>
#include <QRect>
#include <QString>
#include <string>

#include "app/kit/colors.h"
#include "app/kit/font.h"
#include "app/kit/geometry.h"
#include "app/kit/image.h"

namespace kit::qt {

inline QRect ToQRect(const TRect& rect) { return QRect(rect.Left, rect.Top, rect.Width(), rect.Height()); }
inline TRect ToTRect(const QRect& rect) { return Bounds(rect.x(), rect.y(), rect.width(), rect.height()); }
inline QString ToQString(const std::string& text) { return QString::fromStdString(text); }
inline std::string ToUtf8(const QString& text) { return text.toStdString(); }

// The palette role that stands for a system colour (clBtnFace: Button).
QPalette::ColorRole SystemColorRole(TColor color);
// The colour itself; a system colour as `palette` has it.
QColor ToQColor(TColor color, const QPalette& palette);
TColor FromQColor(const QColor& color);

// The font as Qt asks for it: family, pixel height, style and pitch. What
// the font leaves open comes from the widget or painter it is set on.
QFont ToQFont(const TFont& font);

kit::Image ToImage(const QImage& image);

}  // namespace kit::qt
