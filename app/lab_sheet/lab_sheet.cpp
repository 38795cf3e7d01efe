#include "app/lab_sheet/lab_sheet.h"

#include <algorithm>
#include <cmath>

#include "app/excluded_times.h"
#include "app/kit/string_grid.h"
#include "app/statistics/statistics_plots.h"
#include "stopwatch/measurement_table.h"

namespace app {
namespace {

using stopwatch::kGridColumns;
using stopwatch::kGridRows;

// The sheet's sizes are given in millimetres and points, as on paper.
class PageUnits {
 public:
  explicit PageUnits(int dpi) : dpi_(dpi) {}
  int Mm(double millimetres) const { return static_cast<int>(std::lround(millimetres * dpi_ / 25.4)); }
  // A font's character height in page pixels.
  int Pt(double points) const { return static_cast<int>(std::lround(points * dpi_ / 72.0)); }
  // A line at least one pixel wide.
  int Line(double millimetres) const { return std::max(1, Mm(millimetres)); }
  int Dpi() const { return dpi_; }

 private:
  int dpi_;
};

constexpr char kFont[] = "Arial";
const TColor kHeaderFill = clYellow;
const TColor kHeaderText = clMaroon;
// The cells a selection's statistics cover, where they are not the whole table.
const TColor kCoveredFill = RGBColor(0xDD, 0xEB, 0xF7);
const TColor kRule = clBlack;

// What a list of excluded times shows at most; more are counted.
constexpr std::size_t kListedExclusions = 8;

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

TRect Intersection(const TRect& a, const TRect& b) {
  return {std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
}

void Line(TCanvas& canvas, int x1, int y1, int x2, int y2) {
  canvas.MoveTo(x1, y1);
  canvas.LineTo(x2, y2);
}

// The edges of `rect` in the pen, its inside left alone.
void Outline(TCanvas& canvas, const TRect& rect) {
  Line(canvas, rect.Left, rect.Top, rect.Right, rect.Top);
  Line(canvas, rect.Right, rect.Top, rect.Right, rect.Bottom);
  Line(canvas, rect.Right, rect.Bottom, rect.Left, rect.Bottom);
  Line(canvas, rect.Left, rect.Bottom, rect.Left, rect.Top);
}

// One line of text, horizontally centred in `across`, from `top` down;
// returns the line's box.
TRect CentredLine(TCanvas& canvas, const TRect& across, int top, const std::string& text) {
  const TSize size = canvas.TextExtent(text);
  const int left = across.Left + (across.Width() - size.Width) / 2;
  canvas.TextAt(left, top, text);
  return Bounds(left, top, size.Width, size.Height);
}

// One line of text from (left, top); returns the line's box.
TRect TextLine(TCanvas& canvas, int left, int top, const std::string& text) {
  const TSize size = canvas.TextExtent(text);
  canvas.TextAt(left, top, text);
  return Bounds(left, top, size.Width, size.Height);
}

// `font` made smaller, as far as needed, for `text` to fit in `width`.
TFont Fitting(TCanvas& canvas, TFont font, const std::string& text, int width) {
  canvas.font = font;
  while (canvas.TextExtent(text).Width > width && font.Height() > 4) {
    font.SetHeight(font.Height() * 9 / 10);
    canvas.font = font;
  }
  return font;
}

// The table: the header column as wide as its title needs, the ten others
// sharing the rest; header cells maroon on yellow as in the window, times
// centred (Arial's digits are all of one width, so times line up), those
// set aside struck through; the hidden cells of the last row stay blank.
int DrawTable(TCanvas& canvas, const PageUnits& u, const TRect& content, int top, const LabSheet& sheet,
              LabSheetLayout& layout) {
  const int headerWidth = u.Mm(25);
  const int columnWidth = (content.Width() - headerWidth) / stopwatch::kSlotsPerRow;
  const int rowHeight = u.Mm(7);
  const TFont header(kFont, u.Pt(10), fsBold, kHeaderText);
  const TFont value(kFont, u.Pt(10), 0, clBlack);

  layout.cells.assign(static_cast<std::size_t>(kGridColumns) * kGridRows, TRect{});
  canvas.pen.SetColor(kRule);
  canvas.pen.SetWidth(u.Line(0.2));
  for (int row = 0; row < kGridRows; ++row) {
    for (int col = 0; col < kGridColumns; ++col) {
      if (stopwatch::IsHiddenCell(col, row)) continue;
      const int left = col == 0 ? content.Left : content.Left + headerWidth + (col - 1) * columnWidth;
      const TRect rect = Bounds(left, top + row * rowHeight, col == 0 ? headerWidth : columnWidth, rowHeight);
      layout.cells[static_cast<std::size_t>(row) * kGridColumns + col] = rect;
      const bool isHeader = stopwatch::IsHeaderCell(col, row);
      const std::string text = isHeader ? Trimmed(sheet.Cell(col, row)) : sheet.Cell(col, row);
      if (isHeader)
        canvas.brush.SetColor(kHeaderFill);
      else
        canvas.brush.SetColor(!sheet.wholeTable && sheet.block.Contains(col, row) ? kCoveredFill : clWindow);
      canvas.FillRect(rect);
      canvas.font = Fitting(canvas, isHeader ? header : value, text, rect.Width() - u.Mm(1));
      const TSize size = canvas.TextExtent(text);
      const int x = rect.Left + (rect.Width() - size.Width) / 2;
      const int y = rect.Top + (rect.Height() - size.Height) / 2;
      if (!isHeader && sheet.excluded.Contains(stopwatch::SlotAt(col, row)))
        DrawExcludedTime(canvas, x, y, text, kExcludedTimeColor, u.Line(0.25));
      else
        canvas.TextAt(x, y, text);
      canvas.pen.SetColor(kRule);
      canvas.pen.SetWidth(u.Line(0.2));
      Outline(canvas, rect);
    }
  }
  return top + kGridRows * rowHeight;
}

// "№ 17 — 99,9999 с; № 40 — 0,0012 с", as many as fit a line's worth.
std::string ExclusionList(const StatisticsReport& report) {
  std::string list;
  for (std::size_t i = 0; i < report.excluded.size() && i < kListedExclusions; ++i) {
    if (i > 0) list += "; ";
    list += "№ " + std::to_string(report.excluded[i].slot) + " — " + report.excluded[i].text + " с";
  }
  if (report.excluded.size() > kListedExclusions)
    list += " и ещё " + std::to_string(report.excluded.size() - kListedExclusions);
  return list;
}

// A label and a rule after it to the given right edge, on the label's baseline.
TRect FillInLine(TCanvas& canvas, const PageUnits& u, int left, int top, int right, const std::string& label) {
  const TRect text = TextLine(canvas, left, top, label + ":");
  const int baseline = text.Bottom - u.Mm(0.8);
  canvas.pen.SetColor(kRule);
  canvas.pen.SetWidth(u.Line(0.2));
  Line(canvas, text.Right + u.Mm(2), baseline, right, baseline);
  return {left, top, right, text.Bottom};
}

// The title, the unit and when the table was read; returns where it ends.
int DrawHeading(TCanvas& canvas, const PageUnits& u, const TRect& content, const LabSheet& sheet) {
  canvas.font = TFont(kFont, u.Pt(16), fsBold, clBlack);
  int y = CentredLine(canvas, content, content.Top, "ТАБЛИЦА ИЗМЕРЕНИЙ").Bottom;
  canvas.font = TFont(kFont, u.Pt(13), fsItalic, clBlack);
  y = CentredLine(canvas, content, y, "(время, с)").Bottom + u.Mm(1);
  canvas.font = TFont(kFont, u.Pt(10), 0, clBlack);
  const std::string read =
      sheet.readDate.empty() ? "Данные ещё не считаны" : "Данные считаны " + sheet.readDate + " в " + sheet.readTime;
  return CentredLine(canvas, content, y, read).Bottom;
}

// What the figures cover, the figures as the statistics window lists them,
// the result on a line of its own, the times set aside and why figures are
// missing; returns where it ends.
int DrawFigures(TCanvas& canvas, const PageUnits& u, const TRect& content, int top, const LabSheet& sheet,
                LabSheetLayout& layout) {
  const StatisticsReport& report = sheet.report;
  canvas.font = TFont(kFont, u.Pt(10), fsBold, clBlack);
  const char* scope = sheet.wholeTable ? "Расчёт по всей таблице" : "Расчёт по выделенным ячейкам (они подкрашены)";
  int y = TextLine(canvas, content.Left, top, scope).Bottom + u.Mm(1);
  canvas.font = TFont(kFont, u.Pt(10), 0, clBlack);
  const int valueLeft = content.Left + u.Mm(85);
  for (std::size_t i = 0; i + 1 < report.figures.size(); ++i) {
    TextLine(canvas, content.Left + u.Mm(3), y, report.figures[i].name);
    y = TextLine(canvas, valueLeft, y, report.figures[i].value).Bottom + u.Mm(0.6);
  }
  canvas.font = TFont(kFont, u.Pt(12), fsBold, clBlack);
  layout.resultLine = TextLine(canvas, content.Left, y + u.Mm(1.5), ResultLine(report));
  y = layout.resultLine.Bottom + u.Mm(1);
  canvas.font = TFont(kFont, u.Pt(10), 0, clBlack);
  if (!report.excluded.empty())
    y = TextLine(canvas, content.Left, y, "Исключены из расчёта: " + ExclusionList(report)).Bottom + u.Mm(0.6);
  canvas.font.SetColor(clMaroon);
  if (!report.note.empty()) y = TextLine(canvas, content.Left, y, report.note).Bottom;
  return y;
}

// "Фамилия, имя", "Класс" and "Работа" at the foot of the content; returns where they begin.
int DrawFillIn(TCanvas& canvas, const PageUnits& u, const TRect& content, LabSheetLayout& layout) {
  canvas.font = TFont(kFont, u.Pt(11), 0, clBlack);
  const int pitch = u.Mm(9);
  const int top = content.Bottom - 3 * pitch + u.Mm(2);
  const int half = content.Left + content.Width() / 2;
  layout.fillIn = {FillInLine(canvas, u, content.Left, top, content.Right, "Фамилия, имя"),
                   FillInLine(canvas, u, content.Left, top + pitch, half - u.Mm(5), "Класс"),
                   FillInLine(canvas, u, content.Left, top + 2 * pitch, content.Right, "Работа")};
  return top;
}

// Both plots side by side in `room`, at most 8 cm high, each in a thin frame.
void DrawPlots(TCanvas& canvas, const PageUnits& u, const TRect& room, const LabSheet& sheet, LabSheetLayout& layout) {
  const int width = (room.Width() - u.Mm(6)) / 2;
  const int height = std::min(u.Mm(80), room.Height());
  layout.timesPlot = Bounds(room.Left, room.Top, width, height);
  layout.histogram = Bounds(room.Right - width, room.Top, width, height);
  const PlotScale scale{u.Dpi()};
  for (const TRect& frame : {layout.timesPlot, layout.histogram}) {
    canvas.font = TFont(kFont, u.Pt(8), 0, clBlack);
    canvas.pen.SetStyle(TPenStyle::psSolid);
    if (frame == layout.timesPlot)
      DrawTimesPlot(canvas, frame, sheet.report, sheet.separator, scale);
    else
      DrawHistogram(canvas, frame, sheet.report, sheet.separator, scale);
    canvas.pen.SetColor(clSilver);
    canvas.pen.SetWidth(u.Line(0.2));
    Outline(canvas, {frame.Left, frame.Top, frame.Right - 1, frame.Bottom - 1});
  }
}

}  // namespace

const std::string& LabSheet::Cell(int col, int row) const {
  return cells.at(static_cast<std::size_t>(row) * kGridColumns + col);
}

LabSheet MakeLabSheet(const TStringGrid& grid, const stopwatch::ExcludedSlots& excluded, const TGridRect& block,
                      const std::string& separator) {
  LabSheet sheet;
  for (int row = 0; row < kGridRows; ++row)
    for (int col = 0; col < kGridColumns; ++col)
      sheet.cells.push_back(col < grid.ColCount() && row < grid.RowCount() ? grid.Cell(col, row) : std::string());
  sheet.excluded = excluded;
  sheet.block = block;
  sheet.wholeTable = block == TGridRect{0, 0, grid.ColCount() - 1, grid.RowCount() - 1};
  sheet.readDate = sheet.Cell(stopwatch::kReadDateCell.column, stopwatch::kReadDateCell.row);
  sheet.readTime = sheet.Cell(stopwatch::kReadTimeCell.column, stopwatch::kReadTimeCell.row);
  sheet.separator = separator;
  sheet.report = MakeStatisticsReport(TimesInBlock(grid, block, separator), separator, excluded);
  return sheet;
}

std::string ResultLine(const StatisticsReport& report) {
  if (!report.statistics.spread) return "Результат: —";
  return "Результат: t = (" + report.figures.back().value + ") с, P = 95 %";
}

LabSheetLayout DrawLabSheet(TCanvas& canvas, const kit::Page& page, const LabSheet& sheet) {
  const PageUnits u(page.dpi);
  LabSheetLayout layout;
  const TRect margins{u.Mm(15), u.Mm(12), page.size.Width - u.Mm(15), page.size.Height - u.Mm(12)};
  layout.content = Intersection(margins, page.printable);
  int y = DrawHeading(canvas, u, layout.content, sheet) + u.Mm(4);
  y = DrawTable(canvas, u, layout.content, y, sheet, layout) + u.Mm(4);
  y = DrawFigures(canvas, u, layout.content, y, sheet, layout) + u.Mm(4);
  // The lines to fill in at the foot of the sheet; the plots take the room between.
  const int fillInTop = DrawFillIn(canvas, u, layout.content, layout);
  DrawPlots(canvas, u, {layout.content.Left, y, layout.content.Right, fillInTop - u.Mm(5)}, sheet, layout);
  return layout;
}

kit::PrintJob LabSheetJob(LabSheet sheet) {
  std::string title = "Таблица измерений";
  if (!sheet.readDate.empty()) title += " " + sheet.readDate + " " + sheet.readTime;
  return {title,
          [sheet = std::move(sheet)](TCanvas& canvas, const kit::Page& page) { DrawLabSheet(canvas, page, sheet); }};
}

}  // namespace app
