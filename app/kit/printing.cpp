#include "app/kit/printing.h"

namespace kit {

Page A4Page(int dpi, int margin) {
  // 210 x 297 mm, to the nearest pixel.
  const auto pixels = [dpi](int tenthsOfMillimetre) { return (tenthsOfMillimetre * dpi + 127) / 254; };
  Page page;
  page.dpi = dpi;
  page.size = {pixels(2100), pixels(2970)};
  page.printable = {margin, margin, page.size.Width - margin, page.size.Height - margin};
  return page;
}

}  // namespace kit
