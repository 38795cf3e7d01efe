#include "app/startup.h"

#include <QApplication>

#include "app/font_substitutes.h"
#include "app/form1.h"
#include "app/qt_translations.h"

namespace app {

void SetApplicationTitle() {
  // Only the name: a display name would be appended to every window caption
  // on some platforms ("Lumetra — Lumetro").
  QCoreApplication::setApplicationName(QString::fromUtf16(kApplicationTitle));
}

void PrepareApplication(QApplication& application) {
  SetApplicationTitle();
  SubstituteMissingFonts();
  InstallQtTranslations(application);
}

std::unique_ptr<TForm1> CreateMainWindow() {
  auto window = std::make_unique<TForm1>();
  window->setWindowIconText(QCoreApplication::applicationName());
  return window;
}

}  // namespace app
