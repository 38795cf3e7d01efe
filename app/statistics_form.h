// The statistics window: the figures of the measured times in a block of
// the main window's grid, two plots of them, and a button that copies the
// figures. One per main window, made on first use and kept when closed, so
// that it opens again where the user left it.
#pragma once

#include <string>
#include <vector>

#include "app/kit/form.h"
#include "app/kit/grid_types.h"
#include "app/statistics_report.h"

class TButton;
class TLabel;
class TPaintBox;
class TStringGrid;

class TStatisticsForm : public TForm {
 public:
  // A window of `owner`'s, not shown yet.
  explicit TStatisticsForm(TForm* owner);

  // Shows the window, in front, for the grid's selection, or for the whole
  // table when only its current cell is selected. The grid must outlive
  // the window.
  void ShowFor(const TStringGrid& grid);
  // The grid's texts changed (a new read): the figures follow them, over
  // the same block.
  void TableChanged();

  TLabel* ScopeLabel = nullptr;  // what the figures cover
  TLabel* NoteLabel = nullptr;   // why figures are missing
  TButton* CopyButton = nullptr;
  TPaintBox* TimesPlot = nullptr;
  TPaintBox* HistogramPlot = nullptr;
  // One row per figure, in the report's order.
  std::vector<TLabel*> FigureNames;
  std::vector<TLabel*> FigureValues;

  void CopyButtonClick(TObject* Sender);
  void TimesPlotPaint(TObject* Sender);
  void HistogramPlotPaint(TObject* Sender);

 private:
  void MakeFigureRows();
  void Recount();

  const TStringGrid* grid_ = nullptr;
  TGridRect block_;
  std::string separator_;
  app::StatisticsReport report_;
};
