// The program's start-up, from the application title to the main window.
#pragma once

#include <memory>

class TForm1;

namespace kit {
class Application;
}

namespace app {

// The program's name towards the desktop (task bar, window class, icon text)
// and the caption of its error box. The main window's caption differs.
inline constexpr char kApplicationTitle[] = "Lumetro";

// Prepares the application object for the window, as the program and the
// window's tests both need it: the title, and what the platform adds (the
// desktop entry's name and icon, the fonts the stored layout names or their
// metric-compatible replacements, the toolkit's texts in the user's
// language). What the window's first paint does without may be left to the
// event loop, where it runs before the first input is handled.
void PrepareApplication(kit::Application& application);

// What PrepareApplication adds on this platform (startup_qt.cpp,
// startup_windows.cpp, beside this file).
void PreparePlatform(kit::Application& application);

// Creates the main window from its stored layout; its FormCreate has run
// when this returns. The window is not shown yet.
std::unique_ptr<TForm1> CreateMainWindow();

}  // namespace app
