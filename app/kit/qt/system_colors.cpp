// System colours are those of the application's palette: Qt follows the
// desktop's theme.
#include <QGuiApplication>

#include "app/kit/backend.h"
#include "app/kit/qt/native.h"

TColor ColorToRGB(TColor color) {
  if (!IsSystemColor(color)) return color;
  return kit::qt::FromQColor(kit::qt::ToQColor(color, QGuiApplication::palette()));
}
