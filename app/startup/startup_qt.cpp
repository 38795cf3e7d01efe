// What the start-up adds with Qt: the desktop entry's name and icon, the
// layout's fonts (or their metric-compatible replacements) and Qt's own
// texts in the user's language.
#include <QApplication>

#include "app/kit/backend.h"
#include "app/kit/qt/translations.h"
#include "app/startup/font_substitutes_qt.h"
#include "app/startup/startup.h"
#include "app/startup/window_icon_qt.h"

namespace app {

void PreparePlatform(kit::Application&) {
  // The desktop matches the window to its entry by this name, and shows
  // the entry's icon; the window carries the same icon itself. Its icon
  // text, the application title, comes with the window (app/kit/qt/).
  QGuiApplication::setDesktopFileName(QString::fromUtf16(kDesktopId));
  SubstituteMissingFonts();
  // What the window's first paint does without comes once the event loop
  // runs, before anything the user does reaches the window: the icon (drawn
  // from its SVG at eight sizes, all of which go to the display with a
  // window that has it), and Qt's own texts, which only its boxes and
  // dialogs show.
  kit::PostToMainThread([] {
    QApplication::setWindowIcon(WindowIcon());
    kit::qt::InstallTranslations(*QCoreApplication::instance());
  });
}

}  // namespace app
