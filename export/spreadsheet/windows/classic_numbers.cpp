#include "export/spreadsheet/classic_numbers.h"

#include <locale.h>

#include <clocale>
#include <cstdlib>
#include <cstring>

namespace spreadsheet {

// The C runtime has no uselocale: the thread is given a locale of its own
// and its numeric part is set to "C" and back. The old msvcrt.dll that
// MinGW programs may link cannot give a thread a locale of its own
// (_configthreadlocale answers -1 there); then the switch is the process's,
// which is still right for the program's one thread that saves.
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
