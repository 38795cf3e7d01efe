#include "app/statistics/statistics_form.h"

#include <functional>

#include "app/adapters/clock_and_locale.h"
#include "app/kit/backend.h"
#include "app/kit/button.h"
#include "app/kit/label.h"
#include "app/kit/paint_box.h"
#include "app/kit/string_grid.h"
#include "app/lab_sheet/lab_sheet_output.h"
#include "app/statistics/statistics_layout.h"
#include "app/statistics/statistics_plots.h"

TStatisticsForm::TStatisticsForm(TForm* owner, const stopwatch::ExcludedSlots& excluded, TSaveDialog& pdfDialog)
    : TForm(owner), excluded_(excluded), pdfDialog_(pdfDialog) {
  app::LoadLayout(*this, app::kStatisticsLayout);
  ScopeLabel = app::FindControl<TLabel>(*this, "ScopeLabel");
  NoteLabel = app::FindControl<TLabel>(*this, "NoteLabel");
  PrintButton = app::FindControl<TButton>(*this, "PrintButton");
  PdfButton = app::FindControl<TButton>(*this, "PdfButton");
  CopyButton = app::FindControl<TButton>(*this, "CopyButton");
  TimesPlot = app::FindControl<TPaintBox>(*this, "TimesPlot");
  HistogramPlot = app::FindControl<TPaintBox>(*this, "HistogramPlot");
  MakeFigureRows();
  PrintButton->OnClick = std::bind_front(&TStatisticsForm::PrintButtonClick, this);
  PdfButton->OnClick = std::bind_front(&TStatisticsForm::PdfButtonClick, this);
  CopyButton->OnClick = std::bind_front(&TStatisticsForm::CopyButtonClick, this);
  TimesPlot->OnPaint = std::bind_front(&TStatisticsForm::TimesPlotPaint, this);
  HistogramPlot->OnPaint = std::bind_front(&TStatisticsForm::HistogramPlotPaint, this);
}

void TStatisticsForm::MakeFigureRows() {
  // The names never change; the report of no times at all gives them.
  const app::StatisticsReport empty = app::MakeStatisticsReport({}, ".");
  for (std::size_t i = 0; i < empty.figures.size(); ++i) {
    const int top = app::kFigureRowTop + static_cast<int>(i) * app::kFigureRowHeight;
    auto* name = new TLabel(this);
    name->SetBounds(app::kFigureNameLeft, top, 0, 0);
    name->SetText(empty.figures[i].name);
    auto* value = new TLabel(this);
    value->SetBounds(app::kFigureValueLeft, top, 0, 0);
    FigureNames.push_back(name);
    FigureValues.push_back(value);
  }
}

void TStatisticsForm::ShowFor(const TStringGrid& grid) {
  grid_ = &grid;
  block_ = app::StatisticsBlock(grid);
  const bool whole = block_ == TGridRect{0, 0, grid.ColCount() - 1, grid.RowCount() - 1};
  ScopeLabel->SetText(whole ? "Вся таблица" : "Выделенные ячейки");
  Recount();
  Show();
  BringToFront();
}

void TStatisticsForm::TableChanged() {
  if (grid_ != nullptr) Recount();
}

void TStatisticsForm::Recount() {
  separator_ = app::ClockAndLocale().DecimalSeparator();
  report_ = app::MakeStatisticsReport(app::TimesInBlock(*grid_, block_, separator_), separator_, excluded_);
  for (std::size_t i = 0; i < report_.figures.size(); ++i) FigureValues[i]->SetText(report_.figures[i].value);
  NoteLabel->SetText(report_.note);
  TimesPlot->Invalidate();
  HistogramPlot->Invalidate();
}

void TStatisticsForm::PrintButtonClick(TObject*) {
  app::PrintLabSheet(app::MakeLabSheet(*grid_, excluded_, block_, separator_));
}

void TStatisticsForm::PdfButtonClick(TObject*) {
  app::SaveLabSheetAsPdf(app::MakeLabSheet(*grid_, excluded_, block_, separator_), pdfDialog_);
}

void TStatisticsForm::CopyButtonClick(TObject*) { kit::SetClipboardText(app::FiguresText(report_.figures)); }

void TStatisticsForm::TimesPlotPaint(TObject*) {
  app::DrawTimesPlot(TimesPlot->Canvas(), TimesPlot->ClientRect(), report_, separator_);
}

void TStatisticsForm::HistogramPlotPaint(TObject*) {
  app::DrawHistogram(HistogramPlot->Canvas(), HistogramPlot->ClientRect(), report_, separator_);
}
