// Printing a page drawn through the canvas, and saving it as a PDF file,
// with the system's printers. One drawing serves the printer, the PDF and
// the tests: it sees the page in the device pixels of the printer (or of
// the PDF), so whatever it measures in millimetres it turns into pixels
// at the page's resolution, font heights included.
//
// The print dialog is one of the dialogs behind the kit's seam
// (Dialogs::print, dialogs.h); what prints without one, saving as PDF
// among it, is the backend's (backend.h).
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "app/kit/canvas.h"

namespace kit {

// A sheet of paper as the drawing sees it: device pixels from its top-left
// corner. System colours stand for paper colours on it (PaperColor).
struct Page {
  int dpi = 0;
  TSize size;       // the whole sheet
  TRect printable;  // the part of it the printer can print on
};

// An A4 portrait sheet at `dpi`, printable `margin` pixels in from each edge.
Page A4Page(int dpi, int margin = 0);

struct PrintJob {
  std::string title;  // the job's name in the printer's queue, the PDF's title
  // Draws the one page of the job (A4 portrait, unless the user chose
  // another paper in the print dialog).
  std::function<void(TCanvas& canvas, const Page& page)> drawPage;
};

enum class PrintOutcome {
  Done,          // printed, or handed to the system's printing
  Cancelled,     // the user cancelled the print dialog: nothing happened
  Failed,        // see the message
  NoPdfPrinter,  // saving as PDF needs a printer this system lacks (Windows before 10)
};

struct PrintResult {
  PrintOutcome outcome = PrintOutcome::Done;
  std::string message;  // when it failed: what went wrong, as the error box says it
};

// Where a PDF the program made itself goes: writes `bytes` in place of the
// file at `path`, all at once, and raises std::exception (with the whole
// message as its text) when it cannot.
using StoreFile = std::function<void(const std::string& path, std::string_view bytes)>;

// What a system colour is on paper, whatever the desktop's theme: the
// paper's white for the backgrounds, black for the texts.
constexpr TColor PaperColor(TColor color) {
  if (!IsSystemColor(color)) return color;
  if (color == clWindowText || color == clHighlightText) return clBlack;
  if (color == clHighlight || color == clBtnShadow) return clSilver;
  return clWhite;
}

// The name of the system's own PDF printer on Windows 10 and later.
inline constexpr char kSystemPdfPrinter[] = "Microsoft Print to PDF";

}  // namespace kit
