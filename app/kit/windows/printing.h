// What the backend's print dialog hands to its printing: the printer's
// device context the dialog made, and the page drawn on it.
#pragma once

#include "app/kit/backend.h"
#include "app/kit/windows/native.h"

namespace kit::win {

// Prints the job's page on a printer's context, `copies` times over
// (once where the driver makes the copies itself).
PrintResult PrintOn(HDC printer, const PrintJob& job, int copies = 1);

// The system's text for a Win32 error code, as the middle of a sentence.
std::string SystemReason(DWORD code);

}  // namespace kit::win
