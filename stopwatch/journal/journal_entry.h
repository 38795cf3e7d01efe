// One entry of the journal of reads: a finished read as a file of plain
// UTF-8 text, tab-separated, that a spreadsheet opens as a table and the
// program reads back exactly.
//
//   Lumetra: журнал считываний
//   Формат<TAB>1
//   Считано<TAB>2024-05-24T13:45:00+03:00
//   Десятичный разделитель<TAB>,
//   Исключены из расчёта<TAB>3 17
//   <empty line>
//   №<TAB>Время, с<TAB>Ответ секундомера
//   0<TAB>12,3456<TAB>00 06 05 04 03 02 01 00 00 00 00
//   ... one line per slot, 0 to 83 ...
//
// The file starts with a byte-order mark, by which spreadsheets tell UTF-8.
// The header is named fields, one a line, up to the empty line; the table's
// columns are found by the names in its first line. A reader passes over
// fields and columns it does not know, and anything after the table's
// closing empty line, so that later versions can add to an entry without
// making older entries unreadable, or older programs refuse newer entries.
// The format number changes only when an entry could no longer be read the
// old way; a reader refuses a number higher than its own, saying so.
//
// "Исключены из расчёта" lists the slots set aside from the figures, in
// ascending order, one space apart; empty, or missing (an entry of an
// earlier version), when none are. They are set aside after the entry is
// written, so this field alone changes: an entry is rewritten only as
// itself with other exclusions (WithExclusions).
//
// The raw answers are what the entry stands on: the times are decoded from
// them again, on whatever locale. The times column is checked against them,
// so a hand-edited time shows as an unreadable entry, not as a changed read.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "stopwatch/excluded_slots.h"
#include "stopwatch/local_time.h"
#include "stopwatch/read_out.h"
#include "stopwatch/wire_format.h"

namespace stopwatch::journal {

inline constexpr int kFormatVersion = 1;
// Larger than any entry by far: a larger file is not read into memory.
inline constexpr std::size_t kMaxEntryBytes = 64 * 1024;

// What an entry keeps of a finished read.
struct Entry {
  LocalDateTime readAt;
  std::string separator;           // the times column's decimal separator
  std::vector<RawAnswer> answers;  // kSlotCount, slot by slot
  std::vector<std::string> cells;  // the times column: the answers' cell texts with `separator`
  ExcludedSlots excluded;          // the slots set aside from the figures
};

// The file's text for a finished read.
std::string EntryText(const FinishedRead& read);

// What a file's text holds: an entry, or why it holds none, in a few
// Russian words for the journal window ("запись оборвана: ...").
struct ParsedEntry {
  std::optional<Entry> entry;
  std::string problem;
};
ParsedEntry ParseEntry(std::string_view text);

// The text of an entry, `text` (ParseEntry finds one in it), with
// `excluded` set aside and nothing else changed: fields and columns this
// program does not know and the line ends stay as they are.
std::string WithExclusions(std::string_view text, const ExcludedSlots& excluded);

// The read an entry brings back, its exclusions with it: decoded again
// from its answers with the separator, and stamped in the date and time
// formats, of `clock`.
FinishedRead ReadOfEntry(const Entry& entry, ClockLocalePort& clock);

}  // namespace stopwatch::journal
