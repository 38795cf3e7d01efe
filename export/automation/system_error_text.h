// The operating system's description of a COM result code.
#pragma once

#include <string>

#include "export/automation/com_types.h"

namespace automation {

// The system's text for `code` without trailing blanks, line breaks and full
// stops; empty when the system knows no text for it.
std::string SystemErrorText(HRESULT code);

}  // namespace automation
