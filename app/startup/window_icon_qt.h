// The program's icon, drawn from the same SVG the desktop entry shows, and
// the name the desktop knows the program by.
#pragma once

#include <QIcon>

namespace app {

// The desktop entry's id (its file name without ".desktop"), which is also
// the icon's name in the icon theme.
inline constexpr char16_t kDesktopId[] = u"ru.lumetra.lumetra";

// The icon at the sizes window managers and task bars ask for.
QIcon WindowIcon();

}  // namespace app
