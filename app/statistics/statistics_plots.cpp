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

// The plots' sizes on a screen of 96 dots per inch (PlotScale makes them a
// page's).
constexpr int kPadding = 6;  // from the area's edges to what is drawn in it
constexpr int kTickLength = 4;
constexpr int kPointSize = 7;
constexpr int kTickTextGap = 2;    // between a tick and its text; below the x axis, the room for its title
constexpr int kXTickTextGap = 1;   // the x ticks' texts sit higher in that room
constexpr int kTitleGap = 2;       // from the plot's title to the line of the y axis's title and the legend
constexpr int kYTitleGap = 4;      // from that line to the plot
constexpr int kLegendSample = 18;  // a legend entry's sample of its line
constexpr int kLegendTextGap = 4;  // from the sample to its text
constexpr int kLegendEntryGap = 10;
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
    const int line = canvas.TextExtent("0").Height;
    const int padding = scale(kPadding);
    const int tick = scale(kTickLength);
    const int tickGap = scale(kTickTextGap);
    int labelWidth = 0;
    for (double v : y_.Ticks()) labelWidth = std::max(labelWidth, canvas.TextExtent(TickText(y_, v, separator)).Width);
    const int lastLabel = canvas.TextExtent(TickText(x_, x_.high, separator)).Width;
    // Room for the titles above, the y ticks' texts at the left, half the
    // last x tick's text at the right, and the x ticks' texts and title below.
    inside_ = {area.Left + padding + labelWidth + tick + tickGap,
               area.Top + padding + 2 * line + scale(kTitleGap + kYTitleGap), area.Right - padding - lastLabel / 2,
               area.Bottom - padding - 2 * line - tick - tickGap};

    canvas.font.SetStyle(fsBold);
    canvas.TextAt(area.Left + padding, area.Top + padding, texts.title);
    canvas.font.SetStyle(0);
    canvas.TextAt(area.Left + padding, inside_.Top - line - scale(kYTitleGap), texts.yTitle);
    const int xTitleWidth = canvas.TextExtent(texts.xTitle).Width;
    canvas.TextAt(inside_.Left + (inside_.Width() - xTitleWidth) / 2, inside_.Bottom + tick + tickGap + line,
                  texts.xTitle);

    for (double v : x_.Ticks()) {
      const int px = X(v);
      line_(px, inside_.Top, px, inside_.Bottom, kGridLine);
      line_(px, inside_.Bottom, px, inside_.Bottom + tick, clBlack);
      const std::string text = TickText(x_, v, separator);
      canvas.TextAt(px - canvas.TextExtent(text).Width / 2, inside_.Bottom + tick + scale(kXTickTextGap), text);
    }
    for (double v : y_.Ticks()) {
      const int py = Y(v);
      line_(inside_.Left, py, inside_.Right, py, kGridLine);
      line_(inside_.Left - tick, py, inside_.Left, py, clBlack);
      const std::string text = TickText(y_, v, separator);
      const TSize size = canvas.TextExtent(text);
      canvas.TextAt(inside_.Left - tick - tickGap - size.Width, py - size.Height / 2, text);
    }
    // The y axis reaches one line's width under the x axis, closing the corner.
    line_(inside_.Left, inside_.Bottom, inside_.Right, inside_.Bottom, clBlack);
    line_(inside_.Left, inside_.Top, inside_.Left, inside_.Bottom + scale(1), clBlack);
  }

  int X(double value) const {
    return inside_.Left + xMargin_ +
           static_cast<int>(std::lround(x_.Fraction(value) * (inside_.Width() - 1 - 2 * xMargin_)));
  }
  int Y(double value) const {
    return inside_.Bottom - static_cast<int>(std::lround(y_.Fraction(value) * (inside_.Height() - 1)));
  }
  const TRect& Inside() const { return inside_; }

  // A horizontal line across the plot at `value`.
  void Level(double value, TColor color, TPenStyle style) {
    canvas_.pen.SetStyle(style);
    line_(inside_.Left + scale_(1), Y(value), inside_.Right, Y(value), color);
    canvas_.pen.SetStyle(TPenStyle::psSolid);
  }

 private:
  void line_(int x0, int y0, int x1, int y1, TColor color) {
    canvas_.pen.SetColor(color);
    canvas_.MoveTo(x0, y0);
    canvas_.LineTo(x1, y1);
  }

  TCanvas& canvas_;
  PlotAxis x_;
  PlotAxis y_;
  PlotScale scale_;
  int xMargin_;
  TRect inside_;
};

void Prepare(TCanvas& canvas, const TRect& area, PlotScale scale) {
  canvas.brush.SetColor(clWindow);
  canvas.FillRect(area);
  canvas.font.SetColor(clBlack);
  canvas.pen.SetWidth(scale(1));
}

// The plot's title and, in the middle, why it is empty.
void DrawEmpty(TCanvas& canvas, const TRect& area, const char* title, PlotScale scale) {
  canvas.font.SetStyle(fsBold);
  canvas.TextAt(area.Left + scale(kPadding), area.Top + scale(kPadding), title);
  canvas.font.SetStyle(0);
  const std::string text = "Нет измерений";
  const TSize size = canvas.TextExtent(text);
  canvas.TextAt(area.Left + (area.Width() - size.Width) / 2, area.Top + (area.Height() - size.Height) / 2, text);
}

// A short sample of a line in the mean's colour, and its meaning.
struct LegendEntry {
  TPenStyle style;
  std::string text;

  int Width(TCanvas& canvas, PlotScale scale) const {
    return scale(kLegendSample + kLegendTextGap) + canvas.TextExtent(text).Width;
  }
  void Draw(TCanvas& canvas, int x, int y, PlotScale scale) const {
    const int middle = y + canvas.TextExtent(text).Height / 2;
    canvas.pen.SetColor(kMean);
    canvas.pen.SetStyle(style);
    canvas.MoveTo(x, middle);
    canvas.LineTo(x + scale(kLegendSample), middle);
    canvas.pen.SetStyle(TPenStyle::psSolid);
    canvas.TextAt(x + scale(kLegendSample + kLegendTextGap), y, text);
  }
};

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
  frame.Level(s.mean, kMean, TPenStyle::psSolid);
  if (s.spread) {
    frame.Level(s.mean - s.spread->randomError, kMean, TPenStyle::psDash);
    frame.Level(s.mean + s.spread->randomError, kMean, TPenStyle::psDash);
  }
  canvas.brush.SetColor(kPoint);
  const int point = scale(kPointSize);
  for (const SlotTime& time : report.times) {
    const int x = frame.X(time.slot);
    const int y = frame.Y(time.seconds);
    canvas.Ellipse(Bounds(x - point / 2, y - point / 2, point, point));
  }

  // The legend, on the line of the y axis's title, flush with the plot's right edge.
  std::vector<LegendEntry> legend{{TPenStyle::psSolid, "среднее"}};
  if (s.spread) legend.push_back({TPenStyle::psDash, "± погрешность"});
  const int entryGap = scale(kLegendEntryGap);
  int width = -entryGap;
  for (const LegendEntry& entry : legend) width += entry.Width(canvas, scale) + entryGap;
  const int top = area.Top + scale(kPadding) + canvas.TextExtent(legend[0].text).Height + scale(kTitleGap);
  int x = frame.Inside().Right - width;
  for (const LegendEntry& entry : legend) {
    entry.Draw(canvas, x, top, scale);
    x += entry.Width(canvas, scale) + entryGap;
  }
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
  PlotFrame frame(canvas, area, MakePlotAxis(histogram.lower, histogram.Upper()), MakePlotAxis(0, most, true), texts,
                  separator, scale);
  canvas.brush.SetColor(kBar);
  canvas.pen.SetColor(clNavy);
  for (std::size_t bin = 0; bin < histogram.counts.size(); ++bin) {
    if (histogram.counts[bin] == 0) continue;
    const double left = histogram.lower + histogram.width * static_cast<double>(bin);
    const int top = frame.Y(histogram.counts[bin]);
    canvas.Rectangle(
        {frame.X(left), top, frame.X(left + histogram.width) + scale(1), frame.Inside().Bottom + scale(1)});
  }
}

}  // namespace app
