#include "app/kit/qt/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace kit::qt {

QTranslator* InstallTranslations(QCoreApplication& application, const QLocale& locale) {
  // qtbase holds the texts of the widgets and dialogs this program uses; the
  // translator lives as long as the application object that owns it.
  auto* translator = new QTranslator(&application);
  if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return nullptr;
  }
  QCoreApplication::installTranslator(translator);
  return translator;
}

}  // namespace kit::qt
