#include "app/startup.h"

#include <QApplication>

#include "app/font_substitutes.h"
#include "app/form1.h"
#include "app/qt_translations.h"
#include "app/window_icon.h"

namespace app {

void SetApplicationTitle() {
  // Only the name: a display name would be appended to every window caption
  // on some platforms ("Lumetra — Lumetro").
  QCoreApplication::setApplicationName(QString::fromUtf16(kApplicationTitle));
}

void PrepareApplication(QApplication& application) {
  SetApplicationTitle();
  // The desktop matches the window to its entry by this name, and shows
  // the entry's icon; the window carries the same icon itself.
  QGuiApplication::setDesktopFileName(QString::fromUtf16(kDesktopId));
  QApplication::setWindowIcon(WindowIcon());
  SubstituteMissingFonts();
  InstallQtTranslations(application);
}

std::unique_ptr<TForm1> CreateMainWindow() {
  auto window = std::make_unique<TForm1>();
  window->setWindowIconText(QCoreApplication::applicationName());
  return window;
}

}  // namespace app
