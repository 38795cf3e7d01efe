// What the backend's print dialog hands to its printing: a printer set up
// by the dialog, and the page drawn on it.
#pragma once

#include <QPrinter>

#include "app/kit/backend.h"

namespace kit::qt {

// The resolution the program draws pages at, on a printer and in a PDF:
// coordinates only (text and lines stay vectors), fine enough for any printer.
inline constexpr int kPageDpi = 600;

// A printer for `job`: A4 portrait, drawn from the sheet's corner, at kPageDpi.
void PreparePrinter(QPrinter& printer, const PrintJob& job);

// Prints the job's page on a printer prepared and chosen.
PrintResult PrintOn(QPrinter& printer, const PrintJob& job);

}  // namespace kit::qt
