#include "app/statistics/statistics_plots.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "analysis/histogram.h"
#include "analysis/plot_axis.h"

namespace app {
namespace {

using analysis::MakePlotAxis;
using analysis::PlotAxis;
using analysis::TickText;

constexpr int kPadding = 6;
constexpr int kTickLength = 4;
constexpr int kPointSize = 7;
const TColor kGridLine = RGBColor(0xE0, 0xE0, 0xE0);
const TColor kPoint = clNavy;
const TColor kMean = clRed;
const TColor kBar = RGBColor(0x9C, 0xC3, 0xE6);

struct AxisTexts {
  const char* title;   // above the plot
  const char* xTitle;  // under the x axis
  const char* yTitle;  // above the y axis
};

// A plot's frame, drawn: titles, grid lines, axes, ticks and their texts.
// Values map to pixels of the area inside the axes.
class PlotFrame {
 public:
  // `xMargin` keeps the x axis's ends that far in from the plot's sides.
  PlotFrame(TCanvas& canvas, const TRect& area, PlotAxis x, PlotAxis y, const AxisTexts& texts,
            const std::string& separator, PlotScale scale, int xMargin = 0)
      : canvas_(canvas), x_(std::move(x)), y_(std::move(y)), scale_(scale), xMargin_(xMargin) {
    const int line = canvas.textExtent("0").Height;
    const int padding = scale(kPadding);
    const int tick = scale(kTickLength);
    const int gap = scale(2);
    int labelWidth = 0;
    for (double v : y_.ticks()) labelWidth = std::max(labelWidth, canvas.textExtent(TickText(y_, v, separator)).Width);
    const int lastLabel = canvas.textExtent(TickText(x_, x_.high, separator)).Width;
    inside_ = {area.Left + padding + labelWidth + tick + gap, area.Top + padding + 2 * line + scale(6),
               area.Right - padding - lastLabel / 2, area.Bottom - padding - 2 * line - tick - gap};

    canvas.font.setStyle(fsBold);
    canvas.textOut(area.Left + padding, area.Top + padding, texts.title);
    canvas.font.setStyle(0);
    canvas.textOut(area.Left + padding, inside_.Top - line - scale(4), texts.yTitle);
    const int xTitleWidth = canvas.textExtent(texts.xTitle).Width;
    canvas.textOut(inside_.Left + (inside_.Width() - xTitleWidth) / 2, inside_.Bottom + tick + gap + line,
                   texts.xTitle);

    const int onePixel = scale(1);
    for (double v : x_.ticks()) {
      const int px = X(v);
      line_(px, inside_.Top, px, inside_.Bottom, kGridLine);
      line_(px, inside_.Bottom, px, inside_.Bottom + tick, clBlack);
      const std::string text = TickText(x_, v, separator);
      canvas.textOut(px - canvas.textExtent(text).Width / 2, inside_.Bottom + tick + onePixel, text);
    }
    for (double v : y_.ticks()) {
      const int py = Y(v);
      line_(inside_.Left, py, inside_.Right, py, kGridLine);
      line_(inside_.Left - tick, py, inside_.Left, py, clBlack);
      const std::string text = TickText(y_, v, separator);
      const TSize size = canvas.textExtent(text);
      canvas.textOut(inside_.Left - tick - gap - size.Width, py - size.Height / 2, text);
    }
    line_(inside_.Left, inside_.Bottom, inside_.Right, inside_.Bottom, clBlack);
    line_(inside_.Left, inside_.Top, inside_.Left, inside_.Bottom + onePixel, clBlack);
  }

  int X(double value) const {
    return inside_.Left + xMargin_ +
           static_cast<int>(std::lround(x_.fraction(value) * (inside_.Width() - 1 - 2 * xMargin_)));
  }
  int Y(double value) const {
    return inside_.Bottom - static_cast<int>(std::lround(y_.fraction(value) * (inside_.Height() - 1)));
  }
  const TRect& inside() const { return inside_; }

  // A horizontal line across the plot at `value`.
  void level(double value, TColor color, TPenStyle style) {
    canvas_.pen.setStyle(style);
    line_(inside_.Left + scale_(1), Y(value), inside_.Right, Y(value), color);
    canvas_.pen.setStyle(TPenStyle::psSolid);
  }

 private:
  void line_(int x0, int y0, int x1, int y1, TColor color) {
    canvas_.pen.setColor(color);
    canvas_.moveTo(x0, y0);
    canvas_.lineTo(x1, y1);
  }

  TCanvas& canvas_;
  PlotAxis x_;
  PlotAxis y_;
  PlotScale scale_;
  int xMargin_;
  TRect inside_;
};

void Prepare(TCanvas& canvas, const TRect& area, PlotScale scale) {
  canvas.brush.setColor(clWindow);
  canvas.fillRect(area);
  canvas.font.setColor(clBlack);
  canvas.pen.setWidth(scale(1));
}

// The plot's title and, in the middle, why it is empty.
void DrawEmpty(TCanvas& canvas, const TRect& area, const char* title, PlotScale scale) {
  canvas.font.setStyle(fsBold);
  canvas.textOut(area.Left + scale(kPadding), area.Top + scale(kPadding), title);
  canvas.font.setStyle(0);
  const std::string text = "Нет измерений";
  const TSize size = canvas.textExtent(text);
  canvas.textOut(area.Left + (area.Width() - size.Width) / 2, area.Top + (area.Height() - size.Height) / 2, text);
}

// A short sample of a line and its meaning, from x on; returns where it ends.
int LegendEntry(TCanvas& canvas, int x, int y, TPenStyle style, const std::string& text, PlotScale scale) {
  const int middle = y + canvas.textExtent(text).Height / 2;
  canvas.pen.setColor(kMean);
  canvas.pen.setStyle(style);
  canvas.moveTo(x, middle);
  canvas.lineTo(x + scale(18), middle);
  canvas.pen.setStyle(TPenStyle::psSolid);
  canvas.textOut(x + scale(22), y, text);
  return x + scale(22) + canvas.textExtent(text).Width;
}

}  // namespace

void DrawTimesPlot(TCanvas& canvas, const TRect& area, const StatisticsReport& report, const std::string& separator,
                   PlotScale scale) {
  constexpr AxisTexts texts{"Время по номерам измерений", "№ измерения", "t, с"};
  Prepare(canvas, area, scale);
  const auto& s = report.statistics;
  if (s.count == 0) return DrawEmpty(canvas, area, texts.title, scale);

  double low = s.minimum;
  double high = s.maximum;
  if (s.spread) {
    low = std::min(low, s.mean - s.spread->randomError);
    high = std::max(high, s.mean + s.spread->randomError);
  }
  PlotFrame frame(canvas, area, MakePlotAxis(report.times.front().slot, report.times.back().slot, true),
                  MakePlotAxis(low, high), texts, separator, scale, scale(kPointSize));
  frame.level(s.mean, kMean, TPenStyle::psSolid);
  if (s.spread) {
    frame.level(s.mean - s.spread->randomError, kMean, TPenStyle::psDash);
    frame.level(s.mean + s.spread->randomError, kMean, TPenStyle::psDash);
  }
  canvas.brush.setColor(kPoint);
  const int point = scale(kPointSize);
  for (const SlotTime& time : report.times) {
    const int x = frame.X(time.slot);
    const int y = frame.Y(time.seconds);
    canvas.ellipse(Bounds(x - point / 2, y - point / 2, point, point));
  }

  // The legend, on the line of the y axis's title, flush with the plot's right edge.
  const std::string mean = "среднее";
  const std::string band = "± погрешность";
  const int width =
      scale(22) + canvas.textExtent(mean).Width + (s.spread ? scale(32) + canvas.textExtent(band).Width : 0);
  const int top = area.Top + scale(kPadding) + canvas.textExtent(mean).Height + scale(2);
  const int next = LegendEntry(canvas, frame.inside().Right - width, top, TPenStyle::psSolid, mean, scale);
  if (s.spread) LegendEntry(canvas, next + scale(10), top, TPenStyle::psDash, band, scale);
}

void DrawHistogram(TCanvas& canvas, const TRect& area, const StatisticsReport& report, const std::string& separator,
                   PlotScale scale) {
  constexpr AxisTexts texts{"Гистограмма", "t, с", "Число измерений"};
  Prepare(canvas, area, scale);
  if (report.times.empty()) return DrawEmpty(canvas, area, texts.title, scale);

  std::vector<double> seconds;
  for (const SlotTime& time : report.times) seconds.push_back(time.seconds);
  const analysis::Histogram histogram = analysis::MakeHistogram(seconds);
  const int most = *std::max_element(histogram.counts.begin(), histogram.counts.end());
  PlotFrame frame(canvas, area, MakePlotAxis(histogram.lower, histogram.upper()), MakePlotAxis(0, most, true), texts,
                  separator, scale);
  canvas.brush.setColor(kBar);
  canvas.pen.setColor(clNavy);
  for (std::size_t bin = 0; bin < histogram.counts.size(); ++bin) {
    if (histogram.counts[bin] == 0) continue;
    const double left = histogram.lower + histogram.width * static_cast<double>(bin);
    const int top = frame.Y(histogram.counts[bin]);
    canvas.rectangle({frame.X(left), top, frame.X(left + histogram.width) + scale(1), frame.inside().Bottom + scale(1)});
  }
}

}  // namespace app
