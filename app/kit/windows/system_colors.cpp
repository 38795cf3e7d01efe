// System colours are the desktop's, asked afresh each time: the user may
// change the scheme while the program runs.
#include "app/kit/backend.h"
#include "app/kit/windows/native.h"

TColor ColorToRGB(TColor color) {
  if (!IsSystemColor(color)) return color;
  const int index = static_cast<int>(static_cast<std::uint32_t>(color) & 0xFF);
  // COLORREF and TColor share their layout: 0x00BBGGRR.
  return TColor{static_cast<std::uint32_t>(::GetSysColor(index))};
}
