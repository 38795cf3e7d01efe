// The family Qt's font matching draws a font with.
#include <QFontInfo>

#include "app/kit/backend.h"
#include "app/kit/qt/native.h"

namespace kit {

std::string ResolvedFontFamily(const TFont& font) { return qt::ToUtf8(QFontInfo(qt::ToQFont(font)).family()); }

}  // namespace kit
