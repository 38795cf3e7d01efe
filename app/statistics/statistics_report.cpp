#include "app/statistics/statistics_report.h"

#include <algorithm>
#include <optional>

#include "analysis/lab_result.h"
#include "app/kit/string_grid.h"
#include "stopwatch/cell_text.h"
#include "stopwatch/measurement_table.h"

namespace app {
namespace {

constexpr char kNone[] = "—";

bool ReadSeconds(const std::string& text, const std::string& separator, double& seconds) {
  const std::optional<double> value = stopwatch::ParseCellText(text, separator);
  if (value) seconds = *value;
  return value.has_value();
}

const SlotTime& Extreme(const std::vector<SlotTime>& times, bool largest) {
  const auto less = [](const SlotTime& a, const SlotTime& b) { return a.seconds < b.seconds; };
  return largest ? *std::max_element(times.begin(), times.end(), less)
                 : *std::min_element(times.begin(), times.end(), less);
}

}  // namespace

TGridRect StatisticsBlock(const TStringGrid& grid) {
  const TGridRect selection = grid.Selection();
  if (selection.Left == selection.Right && selection.Top == selection.Bottom)
    return {0, 0, grid.ColCount() - 1, grid.RowCount() - 1};
  return selection;
}

std::vector<SlotTime> TimesInBlock(const TStringGrid& grid, const TGridRect& block, const std::string& separator) {
  std::vector<SlotTime> times;
  // Row by row is slot order.
  for (int row = block.Top; row <= block.Bottom; ++row)
    for (int col = block.Left; col <= block.Right; ++col) {
      if (stopwatch::IsHeaderCell(col, row) || stopwatch::IsHiddenCell(col, row)) continue;
      SlotTime time{stopwatch::SlotAt(col, row), 0, grid.Cell(col, row)};
      if (ReadSeconds(time.text, separator, time.seconds)) times.push_back(std::move(time));
    }
  return times;
}

StatisticsReport MakeStatisticsReport(std::vector<SlotTime> times, const std::string& separator,
                                      const stopwatch::ExcludedSlots& excluded) {
  StatisticsReport report;
  for (SlotTime& time : times)
    (excluded.Contains(time.slot) ? report.excluded : report.times).push_back(std::move(time));
  std::vector<double> seconds;
  for (const SlotTime& time : report.times) seconds.push_back(time.seconds);
  const analysis::SampleStatistics& s = report.statistics = analysis::Describe(seconds);

  const auto figure = [&](double value) { return analysis::FormatFigure(value, separator); };
  const bool any = s.count > 0;
  const auto& spread = s.spread;
  report.figures = {
      {"Число измерений n", std::to_string(s.count)},
      {"Исключено из расчёта", std::to_string(report.excluded.size())},
      {"Среднее значение, с", any ? figure(s.mean) : kNone},
      {"Наименьшее значение, с", any ? Extreme(report.times, false).text : kNone},
      {"Наибольшее значение, с", any ? Extreme(report.times, true).text : kNone},
      {"Стандартное отклонение, с", spread ? figure(spread->standardDeviation) : kNone},
      {"Стандартная ошибка среднего, с", spread ? figure(spread->standardError) : kNone},
      {"Коэффициент Стьюдента (P = 95 %)", spread ? figure(spread->studentT) : kNone},
      {"Случайная погрешность (P = 95 %), с", spread ? figure(spread->randomError) : kNone},
      {"Результат, с", spread ? analysis::FormatResult(s.mean, spread->randomError, separator) : kNone},
  };
  if (s.count == 0)
    report.note = report.excluded.empty() ? "Здесь нет измерений." : "Все измерения здесь исключены из расчёта.";
  else if (s.count == 1)
    report.note = "Разброс по одному измерению не оценить: нужно хотя бы два.";
  return report;
}

std::string FiguresText(const std::vector<Figure>& figures) {
  std::string text;
  for (const Figure& f : figures) text += f.name + '\t' + f.value + '\n';
  return text;
}

}  // namespace app
