// The test run's set-up and text measurement, with the system's GDI.
#include "app/kit/windows/fonts.h"
#include "tests/app/support/native_ui.h"

namespace nativeui {

// The window tests draw on the display Wine was given (scripts/wine-test):
// nothing to set up before the application object.
void PrepareTestRun() {}

bool DesktopSpeaksRussian() { return PRIMARYLANGID(::GetUserDefaultUILanguage()) == LANG_RUSSIAN; }

bool CanReadWorkbooksBack() { return false; }

TSize TextExtent(const TFont& font, const std::string& text) {
  // At the desktop's resolution, as the window draws it, in layout pixels.
  const int dpi = kit::win::SystemDpi();
  const kit::win::GdiFont gdi(font, dpi);
  const SIZE extent = kit::win::TextExtent(gdi.get(), kit::win::Wide(text));
  return {kit::win::LayoutCeil(extent.cx, dpi), kit::win::LayoutCeil(extent.cy, dpi)};
}

}  // namespace nativeui
