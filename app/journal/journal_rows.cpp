#include "app/journal/journal_rows.h"

#include <optional>

#include "analysis/lab_result.h"
#include "stopwatch/cell_text.h"

namespace app {

std::vector<std::string> JournalColumnTitles() { return {"Дата", "Время", "Измерений", "Среднее, с", "Файл"}; }

std::vector<std::string> JournalRowTexts(const JournalRow& row) {
  return {row.date, row.time, row.count, row.mean, row.fileName};
}

std::vector<JournalRow> JournalRows(const std::vector<stopwatch::journal::ListedEntry>& listed,
                                    stopwatch::ClockLocalePort& clock) {
  const std::string separator = clock.DecimalSeparator();
  std::vector<JournalRow> rows;
  rows.reserve(listed.size());
  for (const stopwatch::journal::ListedEntry& file : listed) {
    JournalRow& row = rows.emplace_back();
    row.fileName = file.fileName;
    row.path = file.path;
    if (!file.entry) {
      row.date = kUnreadableText;
      row.problem = file.problem;
      continue;
    }
    const stopwatch::journal::Entry& entry = *file.entry;
    row.date = clock.ShortDate(entry.readAt);
    row.time = clock.LongTime(entry.readAt);
    // The times as the table would show them, as the statistics over the
    // whole table take them: those set aside are left out, and counted.
    int count = 0, excluded = 0;
    double sum = 0;
    for (std::size_t slot = 0; slot < entry.cells.size(); ++slot) {
      const std::optional<double> seconds = stopwatch::ParseCellText(entry.cells[slot], entry.separator);
      if (!seconds) continue;  // an empty slot
      if (entry.excluded.Contains(static_cast<int>(slot))) {
        ++excluded;
        continue;
      }
      ++count;
      sum += *seconds;
    }
    row.count = std::to_string(count);
    if (excluded > 0) row.count += " из " + std::to_string(count + excluded);
    row.mean = count > 0 ? analysis::FormatFigure(sum / count, separator) : "—";
  }
  return rows;
}

}  // namespace app
