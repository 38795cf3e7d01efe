#include "app/startup/window_icon_qt.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

// The resource lives in a static library: it must be asked for by name,
// outside any namespace, or the linker leaves it out.
static void LoadWindowIconResource() { Q_INIT_RESOURCE(window_icon); }

namespace app {

QIcon WindowIcon() {
  LoadWindowIconResource();
  // Drawn here rather than left to an image plugin, so the icon is there
  // wherever the program runs.
  QSvgRenderer renderer(QStringLiteral(":/icons/ru.lumetra.lumetra.svg"));
  QIcon icon;
  if (!renderer.isValid()) return icon;
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace app
