#include "app/journal/journal_keeping.h"

#include <filesystem>

#include "app/journal/journal_place.h"
#include "app/kit/static_text.h"
#include "stopwatch/journal/journal_folder.h"

namespace app {

JournalNote KeepInJournal(const stopwatch::FinishedRead& read) {
  JournalNote note;
  const std::string folder = JournalFolder();
  if (folder.empty()) {
    note.problem = "Не удалось записать журнал: система не называет папку «Документы»";
    return note;
  }
  try {
    const std::string name = stopwatch::journal::WriteEntry(folder, read);
    const std::u8string path =
        (std::filesystem::path(std::u8string(folder.begin(), folder.end())) / std::u8string(name.begin(), name.end()))
            .u8string();
    note.path.assign(path.begin(), path.end());
    note.kept = true;
  } catch (const stopwatch::journal::JournalError& error) {
    note.problem = error.what();
  } catch (const std::exception& error) {
    note.problem = std::string("Не удалось записать журнал: ") + error.what();
  }
  return note;
}

std::string JournalProblemHint(const JournalNote& note) {
  return note.problem + ".\nТаблица считана полностью: сохраните её в MS EXCEL, пока не считали новую.";
}

JournalNote KeepExclusions(const std::string& path, const stopwatch::journal::Entry& entry,
                           const stopwatch::ExcludedSlots& excluded) {
  JournalNote note;
  try {
    stopwatch::journal::RewriteExclusions(path, entry, excluded);
    note.kept = true;
    note.path = path;
  } catch (const stopwatch::journal::JournalError& error) {
    note.problem = error.what();
  } catch (const std::exception& error) {
    note.problem = std::string("Не удалось записать исключённые из расчёта времена в журнал: ") + error.what();
  }
  return note;
}

std::string ExclusionsProblemHint(const JournalNote& note) {
  return note.problem + ".\nВ окне они по-прежнему исключены, но из журнала таблица вернётся без этих изменений.";
}

void ShowExclusionsNote(TStaticText& statusLine, const JournalNote& note) {
  if (note.kept) {
    ClearJournalProblem(statusLine);
  } else {
    statusLine.SetFontColor(clMaroon);
    statusLine.SetHint(ExclusionsProblemHint(note));
  }
}

void ShowReadStatus(TStaticText& statusLine, const stopwatch::FinishedRead& read, const JournalNote& note) {
  statusLine.SetText(stopwatch::ReadStatusText(read.date, read.time));
  if (note.kept) {
    ClearJournalProblem(statusLine);
  } else {
    statusLine.SetFontColor(clMaroon);
    statusLine.SetHint(JournalProblemHint(note));
  }
}

void ClearJournalProblem(TStaticText& statusLine) {
  if (statusLine.FontColor() != clMaroon) return;
  statusLine.SetFontColor(clWindowText);
  statusLine.SetHint("");
}

std::string JournalReadStatusText(const stopwatch::FinishedRead& read) {
  return "Из журнала: считано " + read.date + " в " + read.time;
}

void ShowJournalReadStatus(TStaticText& statusLine, const stopwatch::FinishedRead& read) {
  statusLine.SetText(JournalReadStatusText(read));
  ClearJournalProblem(statusLine);
}

}  // namespace app
