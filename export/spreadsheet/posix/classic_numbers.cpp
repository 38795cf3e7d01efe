#include "export/spreadsheet/classic_numbers.h"

#include <locale.h>

namespace spreadsheet {

ClassicNumbers::ClassicNumbers() {
  // The thread's current locale with LC_NUMERIC replaced; uselocale affects
  // this thread only, so other threads keep formatting as they did.
  locale_t const current = duplocale(uselocale(static_cast<locale_t>(0)));
  if (current == static_cast<locale_t>(0)) return;
  locale_t const classic = newlocale(LC_NUMERIC_MASK, "C", current);
  if (classic == static_cast<locale_t>(0)) {
    freelocale(current);
    return;
  }
  classic_ = classic;
  previous_ = uselocale(classic);
}

ClassicNumbers::~ClassicNumbers() {
  if (classic_ == nullptr) return;
  uselocale(static_cast<locale_t>(previous_));
  freelocale(static_cast<locale_t>(classic_));
}

}  // namespace spreadsheet
