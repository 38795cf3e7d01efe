// What the journal window lists: one row per file of the journal's folder,
// readable entries newest first with their date, time, number of times and
// mean, then the files that hold no entry. No toolkit: the window only puts
// the rows in its grid.
#pragma once

#include <string>
#include <vector>

#include "stopwatch/journal/journal_folder.h"
#include "stopwatch/read_out_ports.h"

namespace app {

struct JournalRow {
  std::string date;   // the read's date and time in the user's formats;
  std::string time;   // for an unreadable file, kUnreadableText and ""
  std::string count;  // the times the table shows (not "------"), "10 из 11" with one set aside
  std::string mean;   // the mean of those not set aside, as the statistics window gives it
  std::string fileName;
  std::string path;
  std::string problem;  // why the file holds no entry; empty when it does
};

inline constexpr char kUnreadableText[] = "не читается";

// The column titles, in the grid's order, and each row's texts in that order.
std::vector<std::string> JournalColumnTitles();
std::vector<std::string> JournalRowTexts(const JournalRow& row);

// The rows for a listing (ListEntries' order), dates, times and numbers
// written as `clock` writes them.
std::vector<JournalRow> JournalRows(const std::vector<stopwatch::journal::ListedEntry>& listed,
                                    stopwatch::ClockLocalePort& clock);

}  // namespace app
