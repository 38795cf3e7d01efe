#include "export/spreadsheet/classic_numbers.h"

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <locale.h>

namespace spreadsheet {

// The C runtime has no uselocale: a thread-local locale is switched on for
// this thread, and its numeric part set to "C" and back.
ClassicNumbers::ClassicNumbers() {
  previousMode_ = _configthreadlocale(_ENABLE_PER_THREAD_LOCALE);
  const char* const numeric = std::setlocale(LC_NUMERIC, nullptr);
  if (numeric == nullptr) return;
  char* const saved = static_cast<char*>(std::malloc(std::strlen(numeric) + 1));
  if (saved == nullptr) return;
  std::strcpy(saved, numeric);
  previous_ = saved;
  std::setlocale(LC_NUMERIC, "C");
}

ClassicNumbers::~ClassicNumbers() {
  if (previous_ != nullptr) {
    std::setlocale(LC_NUMERIC, static_cast<const char*>(previous_));
    std::free(previous_);
  }
  if (previousMode_ == _DISABLE_PER_THREAD_LOCALE) _configthreadlocale(_DISABLE_PER_THREAD_LOCALE);
}

}  // namespace spreadsheet
