// Qt draws some boxes of its own (the save dialog's "Look in", "File name",
// "Save", "Cancel", the buttons of standard message boxes). On a Russian
// desktop they should speak Russian like the rest of the window.
#pragma once

#include <QLocale>

class QCoreApplication;
class QTranslator;

namespace kit::qt {

// Installs Qt's own translations for `locale` on the application, from the
// folder Qt's installation keeps them in. Where there are none for the
// locale (or for an English one) Qt keeps its built-in English texts.
// Returns the installed translator, owned by the application, or nullptr.
QTranslator* InstallTranslations(QCoreApplication& application, const QLocale& locale = QLocale::system());

}  // namespace kit::qt
