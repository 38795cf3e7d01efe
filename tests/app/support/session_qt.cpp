// The test run's set-up and text measurement, with Qt.
#include <QFontMetrics>
#include <QLocale>
#include <QStandardPaths>

#include "app/kit/qt/native.h"
#include "tests/app/support/native_ui.h"

namespace nativeui {

void PrepareTestRun() {
  // These tests never need a real display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Keeps what Qt's own file dialog remembers out of the user's configuration.
  QStandardPaths::setTestModeEnabled(true);
}

bool DesktopSpeaksRussian() { return QLocale::system().language() == QLocale::Russian; }

bool CanReadWorkbooksBack() { return true; }

TSize TextExtent(const TFont& font, const std::string& text) {
  const QSize size = QFontMetrics(kit::qt::ToQFont(font)).size(Qt::TextSingleLine, kit::qt::ToQString(text));
  return {size.width(), size.height()};
}

}  // namespace nativeui
