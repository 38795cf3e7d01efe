// Keeping each finished read in the journal, and what the main window's
// status line says of it. No toolkit beyond the status line it is shown on.
#pragma once

#include <string>

#include "stopwatch/read_out.h"

class TStaticText;

namespace app {

// What became of a read's entry.
struct JournalNote {
  bool kept = false;
  std::string problem;  // why it was not, in Russian, naming the folder
};

// Writes the read into the journal. Never raises: a journal that cannot be
// written must not cost the read that the table is about to show.
JournalNote KeepInJournal(const stopwatch::FinishedRead& read);

// The tooltip of the status line for a read the journal could not keep.
std::string JournalProblemHint(const JournalNote& note);

// The status line after a read: "Данные считаны <date> в <time>"; in
// maroon, with the reason in its tooltip, when the journal did not keep it.
void ShowReadStatus(TStaticText& statusLine, const stopwatch::FinishedRead& read, const JournalNote& note);

// Takes a journal problem's colour and tooltip off the status line, once
// it says something else.
void ClearJournalProblem(TStaticText& statusLine);

// "Из журнала: считано <date> в <time>", for a read brought back.
std::string JournalReadStatusText(const stopwatch::FinishedRead& read);
// The status line for a read brought back from the journal.
void ShowJournalReadStatus(TStaticText& statusLine, const stopwatch::FinishedRead& read);

}  // namespace app
