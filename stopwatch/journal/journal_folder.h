// The journal of reads on disk: a folder with one file per finished read,
// named for its date and time. Each entry is written once, all at once
// (base/atomic_file.h); afterwards only its field "Исключены из расчёта"
// is rewritten, the same way, with the rest of the file as it was. A crash
// or a power cut at any moment leaves a whole entry or none, and the
// entries before it as they were. Paths are UTF-8.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "stopwatch/journal/journal_entry.h"

namespace stopwatch::journal {

// The journal could not be written or listed. what() says so in Russian,
// naming the folder and the system's reason.
class JournalError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "2024-05-24 13-45-00.txt" for the first entry of that second (local
// time), "2024-05-24 13-45-00 (2).txt" for the second, and so on.
std::string EntryFileName(const LocalDateTime& readAt, int copy = 1);

// Writes the read into `folder` as a new entry, making the folder when it
// is missing, under the first of its names that is free, also against
// another program writing at the same moment. Returns the file's name once
// the entry is on the disk. Raises JournalError.
std::string WriteEntry(const std::string& folder, const FinishedRead& read);

// Sets `excluded` aside in the entry of the file `path`, which must still
// hold the read `entry` (its moment and answers): the file is replaced all
// at once by the same text with that field changed (WithExclusions), and
// no other file is touched. A file gone or holding something else since is
// left as it is. Raises JournalError, naming the file and why.
void RewriteExclusions(const std::string& path, const Entry& entry, const ExcludedSlots& excluded);

// An entry's file as the journal lists it.
struct ListedEntry {
  std::string fileName;
  std::string path;
  std::optional<Entry> entry;  // none: the file is unreadable,
  std::string problem;         // and this says why
};

// The file read and told apart; a file that cannot be read at all is
// unreadable too, with the system's reason.
ListedEntry ReadEntryFile(const std::string& path);

// Every file of the folder but hidden and system ones (a name starting
// with a dot, among them entries still being written; desktop.ini,
// Thumbs.db): readable entries newest first, then the unreadable ones by
// name. A folder that does not exist yet lists nothing. Raises
// JournalError when the folder cannot be listed.
std::vector<ListedEntry> ListEntries(const std::string& folder);

}  // namespace stopwatch::journal
