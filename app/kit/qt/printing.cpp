// Pages through QPainter: on a printer (Qt Print Support, CUPS behind it)
// and into a PDF made in memory by QPdfWriter, text kept as text.
#include "app/kit/qt/printing.h"

#include <QBuffer>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "app/kit/qt/paint_device.h"
#include "app/kit/qt/native.h"

namespace kit::qt {
namespace {

// The colours of paper whatever the desktop's theme (PaperColor).
QPalette PaperPalette() {
  QPalette palette;
  for (TColor color : {clWindow, clWindowText, clHighlight, clHighlightText, clBtnFace, clBtnShadow, clBtnHighlight})
    palette.setColor(SystemColorRole(color), ToQColor(PaperColor(color), palette));
  // Every other system colour stands for a text.
  palette.setColor(QPalette::WindowText, Qt::black);
  palette.setColor(QPalette::ButtonText, Qt::black);
  return palette;
}

QPageLayout A4Portrait() { return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)); }

// The page as the drawing sees it: the layout's sheet, less the margins the
// printer cannot print on.
Page PageOf(const QPageLayout& layout, const QMarginsF& unprintable, int dpi) {
  const QRect sheet = layout.fullRectPixels(dpi);
  QPageLayout printable = layout;
  printable.setMinimumMargins(QMarginsF(0, 0, 0, 0));
  printable.setMargins(unprintable);
  return {dpi, {sheet.width(), sheet.height()}, ToTRect(printable.paintRectPixels(dpi))};
}

void Draw(QPainter& painter, const PrintJob& job, const Page& page) {
  const QPalette palette = PaperPalette();
  NativePaintDevice device(painter, palette);
  TCanvas canvas;
  canvas.SetDevice(&device);
  job.drawPage(canvas, page);
  canvas.SetDevice(nullptr);
}

// Measures on an image of one pixel that claims the page's resolution:
// Qt's font metrics follow the device's resolution.
class MeasuringDevice final : public PaintDevice {
 public:
  explicit MeasuringDevice(int dpi) : image_(1, 1, QImage::Format_ARGB32), palette_(PaperPalette()) {
    const int dotsPerMetre = static_cast<int>(dpi / 0.0254 + 0.5);
    image_.setDotsPerMeterX(dotsPerMetre);
    image_.setDotsPerMeterY(dotsPerMetre);
    painter_.begin(&image_);
  }
  ~MeasuringDevice() override { painter_.end(); }

  void FillRect(const TRect& rect, TColor color) override { device_.FillRect(rect, color); }
  void DrawTextIn(int x, int y, const std::string& text, const TFont& font, const TRect* clip) override {
    device_.DrawTextIn(x, y, text, font, clip);
  }
  void DrawFocusRect(const TRect& rect) override { device_.DrawFocusRect(rect); }
  void DrawLine(TPoint from, TPoint to, TColor color, int width, TPenStyle style) override {
    device_.DrawLine(from, to, color, width, style);
  }
  void FillEllipse(const TRect& rect, TColor color) override { device_.FillEllipse(rect, color); }
  TSize TextExtent(const std::string& text, const TFont& font) override { return device_.TextExtent(text, font); }

 private:
  QImage image_;
  QPalette palette_;
  QPainter painter_;
  NativePaintDevice device_{painter_, palette_};
};

}  // namespace

void PreparePrinter(QPrinter& printer, const PrintJob& job) {
  printer.setResolution(kPageDpi);
  printer.setFullPage(true);
  printer.setPageLayout(A4Portrait());
  printer.setDocName(ToQString(job.title));
  printer.setCreator(QStringLiteral("Lumetra"));
}

PrintResult PrintOn(QPrinter& printer, const PrintJob& job) {
  const QString name = printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
  // The dialog may have set another paper or turned it; the page follows.
  const QPageLayout layout = printer.pageLayout();
  const Page page = PageOf(layout, layout.minimumMargins(), printer.resolution());
  QPainter painter;
  const std::string failed = "Не удалось напечатать: принтер «" + ToUtf8(name) + "» не принял задание";
  if (!painter.begin(&printer)) return {PrintOutcome::Failed, failed};
  Draw(painter, job, page);
  if (!painter.end() || printer.printerState() == QPrinter::Error) return {PrintOutcome::Failed, failed};
  return {};
}

}  // namespace kit::qt

namespace kit {

bool CanSaveAsPdf() { return true; }

PrintResult SaveAsPdf(const PrintJob& job, const std::string& path, const StoreFile& store) {
  // Made in memory first: only a whole PDF reaches the disk.
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setResolution(qt::kPageDpi);
    writer.setPageLayout(qt::A4Portrait());
    writer.setTitle(qt::ToQString(job.title));
    writer.setCreator(QStringLiteral("Lumetra"));
    const std::string failed = "Не удалось сохранить файл «" + path + "»: PDF не составлен";
    QPainter painter;
    if (!painter.begin(&writer)) return {PrintOutcome::Failed, failed};
    qt::Draw(painter, job, qt::PageOf(writer.pageLayout(), QMarginsF(0, 0, 0, 0), qt::kPageDpi));
    if (!painter.end()) return {PrintOutcome::Failed, failed};
  }
  try {
    store(path, std::string_view(buffer.data().constData(), static_cast<std::size_t>(buffer.data().size())));
  } catch (const std::exception& error) {
    return {PrintOutcome::Failed, error.what()};
  }
  return {};
}

std::unique_ptr<PaintDevice> CreatePageMeasuringDevice(int dpi) { return std::make_unique<qt::MeasuringDevice>(dpi); }

}  // namespace kit
