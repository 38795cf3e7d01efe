#include "app/journal/journal_form.h"

#include <algorithm>
#include <filesystem>
#include <functional>

#include "app/adapters/clock_and_locale.h"
#include "app/journal/journal_layout.h"
#include "app/journal/journal_place.h"
#include "app/kit/button.h"
#include "app/kit/desktop.h"
#include "app/kit/label.h"
#include "app/kit/string_grid.h"

TJournalForm::TJournalForm(TForm* owner) : TForm(owner) {
  app::LoadLayout(*this, app::kJournalLayout);
  FolderLabel = app::FindControl<TLabel>(*this, "FolderLabel");
  EntryGrid = app::FindControl<TStringGrid>(*this, "EntryGrid");
  NoteLabel = app::FindControl<TLabel>(*this, "NoteLabel");
  OpenButton = app::FindControl<TButton>(*this, "OpenButton");
  FolderButton = app::FindControl<TButton>(*this, "FolderButton");
  for (int col = 0; col < EntryGrid->ColCount(); ++col) EntryGrid->SetColWidth(col, app::kJournalColumnWidths[col]);
  EntryGrid->SetRowSelect(true);
  OpenButton->OnClick = std::bind_front(&TJournalForm::OpenButtonClick, this);
  FolderButton->OnClick = std::bind_front(&TJournalForm::FolderButtonClick, this);
  EntryGrid->OnSelectionChanged = std::bind_front(&TJournalForm::EntryGridSelectionChanged, this);
  EntryGrid->OnDrawCell = std::bind_front(&TJournalForm::EntryGridDrawCell, this);
}

void TJournalForm::ShowJournal() {
  Refresh();
  Show();
  BringToFront();
}

void TJournalForm::Refresh() {
  const app::JournalRow* chosen = ChosenRow();
  const std::string chosenFile = chosen != nullptr ? chosen->fileName : std::string();
  folder_ = app::JournalFolder();
  listingProblem_.clear();
  std::vector<stopwatch::journal::ListedEntry> listed;
  if (folder_.empty()) {
    listingProblem_ = "Система не называет папку «Документы»: журналу негде лежать.";
  } else {
    try {
      listed = stopwatch::journal::ListEntries(folder_);
    } catch (const stopwatch::journal::JournalError& error) {
      listingProblem_ = error.what();
    }
  }
  app::ClockAndLocale clock;
  rows_ = app::JournalRows(listed, clock);
  FolderLabel->SetText(folder_.empty() ? "Папка журнала не найдена" : "Папка: " + folder_);
  ShowRows();
  if (chosenFile.empty() || !Choose(chosenFile)) EntryGrid->SetCurrentCell(0, 1);
  EntryGridSelectionChanged(EntryGrid);
}

void TJournalForm::ShowRows() {
  EntryGrid->SetRowCount(static_cast<int>(rows_.size()) + 1 + (rows_.empty() ? 1 : 0));
  const std::vector<std::string> titles = app::JournalColumnTitles();
  for (int col = 0; col < static_cast<int>(titles.size()); ++col) EntryGrid->SetCell(col, 0, titles[col]);
  if (rows_.empty())
    for (int col = 0; col < EntryGrid->ColCount(); ++col) EntryGrid->SetCell(col, 1, "");
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    const std::vector<std::string> texts = app::JournalRowTexts(rows_[i]);
    for (int col = 0; col < static_cast<int>(texts.size()); ++col)
      EntryGrid->SetCell(col, static_cast<int>(i) + 1, texts[col]);
  }
}

bool TJournalForm::Choose(const std::string& fileName) {
  const auto found =
      std::find_if(rows_.begin(), rows_.end(), [&](const app::JournalRow& row) { return row.fileName == fileName; });
  if (found == rows_.end()) return false;
  EntryGrid->SetCurrentCell(0, static_cast<int>(found - rows_.begin()) + 1);
  return true;
}

const app::JournalRow* TJournalForm::ChosenRow() const {
  const int row = EntryGrid->CurrentCell().Y;
  if (row < 1 || row > static_cast<int>(rows_.size())) return nullptr;
  return &rows_[static_cast<std::size_t>(row) - 1];
}

void TJournalForm::ShowKeepingProblem(const std::string& problem) { NoteLabel->SetText(problem); }

void TJournalForm::EntryGridSelectionChanged(TObject*) {
  // The title row is not a read: the choice moves to the first one.
  if (EntryGrid->CurrentCell().Y == 0 && EntryGrid->RowCount() > 1) {
    EntryGrid->SetCurrentCell(EntryGrid->CurrentCell().X, 1);
    return;
  }
  const app::JournalRow* row = ChosenRow();
  if (!listingProblem_.empty()) {
    NoteLabel->SetText(listingProblem_);
  } else if (rows_.empty()) {
    NoteLabel->SetText("В журнале пока нет ни одного считывания.");
  } else if (row != nullptr && !row->problem.empty()) {
    NoteLabel->SetText("Файл «" + row->fileName + "» не читается: " + row->problem + ".");
  } else {
    NoteLabel->SetText("");
  }
}

void TJournalForm::EntryGridDrawCell(TObject*, int ACol, int ARow, const TRect& Rect, TGridDrawState) {
  if (ARow != 0) return;
  // The title row: bold, on the buttons' colour.
  TCanvas& canvas = EntryGrid->Canvas();
  canvas.font.SetStyle(fsBold);
  canvas.font.SetColor(clWindowText);
  canvas.brush.SetColor(clBtnFace);
  constexpr int inset = TStringGrid::kTextInset;
  canvas.TextRect(Rect, Rect.Left + inset, Rect.Top + inset, EntryGrid->Cell(ACol, 0));
}

void TJournalForm::OpenButtonClick(TObject*) {
  const app::JournalRow* row = ChosenRow();
  if (row == nullptr) return;
  const std::string fileName = row->fileName;
  // Read afresh: the file may have changed, or gone, since it was listed.
  stopwatch::journal::ListedEntry file = stopwatch::journal::ReadEntryFile(row->path);
  if (!file.entry) {
    Refresh();
    NoteLabel->SetText("Файл «" + fileName + "» не читается: " + file.problem + ".");
    return;
  }
  if (OnOpenEntry) OnOpenEntry(file.path, *file.entry);
}

void TJournalForm::FolderButtonClick(TObject*) {
  std::error_code error;
  const std::filesystem::path folder(std::u8string(folder_.begin(), folder_.end()));
  if (folder_.empty() || !std::filesystem::is_directory(folder, error)) {
    NoteLabel->SetText("Папки журнала ещё нет: в журнале нет ни одного считывания.");
    return;
  }
  if (!kit::CurrentDesktop().ShowFolder(folder_)) NoteLabel->SetText("Не удалось открыть папку в файловом менеджере.");
}
