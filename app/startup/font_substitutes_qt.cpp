#include "app/startup/font_substitutes_qt.h"

#include <QFont>
#include <QFontDatabase>

namespace app {
namespace {

struct Substitute {
  const char* family;
  const char* replacement;
};

// Same advance widths and line metrics as the originals, with Cyrillic.
constexpr Substitute kSubstitutes[] = {
    {"Arial", "Liberation Sans"},
    {"Courier", "Liberation Mono"},
};

}  // namespace

void SubstituteMissingFonts() {
  for (const Substitute& s : kSubstitutes) {
    const QString family = QString::fromLatin1(s.family);
    const QString replacement = QString::fromLatin1(s.replacement);
    if (QFontDatabase::hasFamily(family) || !QFontDatabase::hasFamily(replacement)) continue;
    // Put first, ahead of anything the desktop's own matching would pick.
    QFont::removeSubstitutions(family);
    QFont::insertSubstitution(family, replacement);
  }
}

}  // namespace app
