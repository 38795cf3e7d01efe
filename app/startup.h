// The program's start-up, from the application title to the main window.
#pragma once

#include <QString>
#include <memory>

class QApplication;
class TForm1;

namespace app {

// The program's name towards the desktop (task bar, window class, icon text)
// and the caption of its error box. The main window's caption differs.
inline constexpr char16_t kApplicationTitle[] = u"Lumetro";

// Sets the application title. Must precede the first window: the window
// class is taken from it when the first window is created.
void SetApplicationTitle();

// Prepares the application object for the window, as the program and the
// window's tests both need it: the title, the desktop entry's name and icon,
// the fonts the stored layout names (or their metric-compatible
// replacements) and Qt's texts in the user's language.
void PrepareApplication(QApplication& application);

// Creates the main window from its stored layout; its FormCreate has run
// when this returns. The window is not shown yet.
std::unique_ptr<TForm1> CreateMainWindow();

}  // namespace app
