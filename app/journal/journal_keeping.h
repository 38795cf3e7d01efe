// Keeping each finished read in the journal, and what the main window's
// status line says of it. No toolkit beyond the status line it is shown on.
#pragma once

#include <string>

#include "stopwatch/journal/journal_entry.h"
#include "stopwatch/read_out.h"

class TStaticText;

namespace app {

// What became of a read's entry.
struct JournalNote {
  bool kept = false;
  std::string path;     // the entry's file (UTF-8), when kept
  std::string problem;  // why it was not, in Russian, naming the folder
};

// Writes the read into the journal. Never raises: a journal that cannot be
// written must not cost the read that the table is about to show.
JournalNote KeepInJournal(const stopwatch::FinishedRead& read);

// The tooltip of the status line for a read the journal could not keep.
std::string JournalProblemHint(const JournalNote& note);

// Puts the times set aside into the entry of the file `path`, which holds
// `entry` (RewriteExclusions). Never raises: the window keeps them anyway.
JournalNote KeepExclusions(const std::string& path, const stopwatch::journal::Entry& entry,
                           const stopwatch::ExcludedSlots& excluded);

// The status line once the times set aside changed: as it was, or in
// maroon with the reason in its tooltip when their entry did not take them.
void ShowExclusionsNote(TStaticText& statusLine, const JournalNote& note);
// That tooltip.
std::string ExclusionsProblemHint(const JournalNote& note);

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
