// The statistics window: the figures of the measured times in a block of
// the main window's grid, less the times set aside, two plots of them, and
// buttons that print the lab sheet, save it as PDF and copy the figures. One per main window, made on first use and
// kept when closed, so that it opens again where the user left it.
#pragma once

#include <string>
#include <vector>

#include "app/kit/form.h"
#include "app/kit/grid_types.h"
#include "app/statistics/statistics_report.h"
#include "stopwatch/excluded_slots.h"

class TButton;
class TSaveDialog;
class TLabel;
class TPaintBox;
class TStringGrid;

class TStatisticsForm : public TForm {
 public:
  // A window of `owner`'s, not shown yet, leaving out the times in
  // `excluded` and saving PDF files through `pdfDialog`; both outlive it.
  TStatisticsForm(TForm* owner, const stopwatch::ExcludedSlots& excluded, TSaveDialog& pdfDialog);

  // Shows the window, in front, for the grid's selection, or for the whole
  // table when only its current cell is selected. The grid must outlive
  // the window.
  void ShowFor(const TStringGrid& grid);
  // The grid's texts or the exclusions changed: the figures follow them,
  // over the same block.
  void TableChanged();

  TLabel* ScopeLabel = nullptr;  // what the figures cover
  TLabel* NoteLabel = nullptr;   // why figures are missing
  TButton* PrintButton = nullptr;
  TButton* PdfButton = nullptr;
  TButton* CopyButton = nullptr;
  TPaintBox* TimesPlot = nullptr;
  TPaintBox* HistogramPlot = nullptr;
  // One row per figure, in the report's order.
  std::vector<TLabel*> FigureNames;
  std::vector<TLabel*> FigureValues;

  void PrintButtonClick(TObject* Sender);
  void PdfButtonClick(TObject* Sender);
  void CopyButtonClick(TObject* Sender);
  void TimesPlotPaint(TObject* Sender);
  void HistogramPlotPaint(TObject* Sender);

 private:
  void MakeFigureRows();
  void Recount();

  const stopwatch::ExcludedSlots& excluded_;
  TSaveDialog& pdfDialog_;
  const TStringGrid* grid_ = nullptr;
  TGridRect block_;
  std::string separator_;
  app::StatisticsReport report_;
};
