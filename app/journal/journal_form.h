// The journal window: every read the journal keeps, newest first, one of
// them put back into the main window's table with "Открыть", and the
// journal's folder shown in the file manager with "Открыть папку". One per
// main window, made on first use and kept when closed; it follows the reads
// made while it is open.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/journal/journal_rows.h"
#include "app/kit/form.h"
#include "app/kit/grid_types.h"

class TButton;
class TLabel;
class TStringGrid;

class TJournalForm : public TForm {
 public:
  // A window of `owner`'s, not shown yet.
  explicit TJournalForm(TForm* owner);

  // Shows the window, in front, listing the journal afresh.
  void ShowJournal();
  // Lists the journal afresh, keeping the chosen file chosen; the newest
  // read is chosen when it has gone (or none was).
  void Refresh();
  // Says in the window why the journal did not keep the last read.
  void ShowKeepingProblem(const std::string& problem);

  // The rows listed now, in the grid's order below its title row.
  const std::vector<app::JournalRow>& Rows() const { return rows_; }
  // Chooses the row of this file, if listed.
  bool Choose(const std::string& fileName);

  // "Открыть" on a readable entry, read afresh from its file `path`.
  std::function<void(const std::string& path, const stopwatch::journal::Entry& entry)> OnOpenEntry;

  TLabel* FolderLabel = nullptr;
  TStringGrid* EntryGrid = nullptr;
  TLabel* NoteLabel = nullptr;
  TButton* OpenButton = nullptr;
  TButton* FolderButton = nullptr;

  void OpenButtonClick(TObject* Sender);
  void FolderButtonClick(TObject* Sender);
  void EntryGridSelectionChanged(TObject* Sender);
  void EntryGridDrawCell(TObject* Sender, int ACol, int ARow, const TRect& Rect, TGridDrawState State);

 private:
  // The row chosen, or nullptr when the title row or nothing is.
  const app::JournalRow* ChosenRow() const;
  void ShowRows();

  std::string folder_;
  std::vector<app::JournalRow> rows_;
  std::string listingProblem_;
};
