// Pages through GDI on a printer's device context (StartDocW, StartPage):
// the drawing's pixels are the printer's, from the sheet's corner, and
// text goes to the printer as text. Saving as PDF prints to the system's
// own PDF printer with the file as the job's output.
#include "app/kit/windows/printing.h"

#include <algorithm>
#include <optional>

#include "app/kit/windows/paint_device.h"

namespace kit::win {
namespace {

// The drawing's coordinates on the printer: square pixels of the printer's
// vertical resolution, from the sheet's corner rather than from the
// printable area's, where the printer's own coordinates begin.
Page SetUpPage(HDC dc) {
  const int dpiX = std::max(1, ::GetDeviceCaps(dc, LOGPIXELSX));
  const int dpiY = std::max(1, ::GetDeviceCaps(dc, LOGPIXELSY));
  const auto logicalX = [&](int device) { return ::MulDiv(device, dpiY, dpiX); };
  if (dpiX != dpiY) {
    ::SetMapMode(dc, MM_ANISOTROPIC);
    ::SetWindowExtEx(dc, dpiY, dpiY, nullptr);
    ::SetViewportExtEx(dc, dpiX, dpiY, nullptr);
  }
  const int offsetX = ::GetDeviceCaps(dc, PHYSICALOFFSETX);
  const int offsetY = ::GetDeviceCaps(dc, PHYSICALOFFSETY);
  ::SetViewportOrgEx(dc, -offsetX, -offsetY, nullptr);
  Page page;
  page.dpi = dpiY;
  page.size = {logicalX(::GetDeviceCaps(dc, PHYSICALWIDTH)), ::GetDeviceCaps(dc, PHYSICALHEIGHT)};
  page.printable =
      Bounds(logicalX(offsetX), offsetY, logicalX(::GetDeviceCaps(dc, HORZRES)), ::GetDeviceCaps(dc, VERTRES));
  // A driver that reports no sheet (none should) prints on what it can.
  if (page.size.Width <= 0 || page.size.Height <= 0)
    page.size = {page.printable.Right + page.printable.Left, page.printable.Bottom + page.printable.Top};
  return page;
}

// A failing call that set no error still failed.
DWORD NonZero(DWORD error) { return error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE; }

// Prints the page `copies` times over (once where the driver makes the
// copies itself), into the file `output` when given. ERROR_SUCCESS, or why
// it failed; a job begun is aborted.
DWORD PrintPages(HDC printer, const PrintJob& job, int copies, const std::wstring* output) {
  const std::wstring title = Wide(job.title);
  DOCINFOW document{};
  document.cbSize = sizeof document;
  document.lpszDocName = title.c_str();
  document.lpszOutput = output != nullptr ? output->c_str() : nullptr;
  ::SetLastError(ERROR_SUCCESS);
  if (::StartDocW(printer, &document) <= 0) return NonZero(::GetLastError());
  for (int copy = 0; copy < std::max(1, copies); ++copy) {
    if (::StartPage(printer) <= 0) {
      const DWORD error = NonZero(::GetLastError());
      ::AbortDoc(printer);
      return error;
    }
    const int saved = ::SaveDC(printer);
    const Page page = SetUpPage(printer);
    {
      NativePaintDevice device(printer, kLayoutDpi, NativePaintDevice::Surface::Paper);
      TCanvas canvas;
      canvas.SetDevice(&device);
      job.drawPage(canvas, page);
      canvas.SetDevice(nullptr);
    }
    ::RestoreDC(printer, saved);
    if (::EndPage(printer) <= 0) {
      const DWORD error = NonZero(::GetLastError());
      ::AbortDoc(printer);
      return error;
    }
  }
  if (::EndDoc(printer) <= 0) return NonZero(::GetLastError());
  return ERROR_SUCCESS;
}

// Draws on a memory context over a bitmap of one pixel: GDI measures a
// font of a given pixel height the same on any context.
class MeasuringDevice final : public PaintDevice {
 public:
  MeasuringDevice() : dc_(::CreateCompatibleDC(nullptr)), bitmap_(::CreateCompatibleBitmap(dc_, 1, 1)) {
    previous_ = ::SelectObject(dc_, bitmap_);
    device_.emplace(dc_, kLayoutDpi, NativePaintDevice::Surface::Paper);
  }
  ~MeasuringDevice() override {
    device_.reset();
    ::SelectObject(dc_, previous_);
    ::DeleteObject(bitmap_);
    ::DeleteDC(dc_);
  }

  void FillRect(const TRect& rect, TColor color) override { device_->FillRect(rect, color); }
  void DrawTextIn(int x, int y, const std::string& text, const TFont& font, const TRect* clip) override {
    device_->DrawTextIn(x, y, text, font, clip);
  }
  void DrawFocusRect(const TRect& rect) override { device_->DrawFocusRect(rect); }
  void DrawLine(TPoint from, TPoint to, TColor color, int width, TPenStyle style) override {
    device_->DrawLine(from, to, color, width, style);
  }
  void FillEllipse(const TRect& rect, TColor color) override { device_->FillEllipse(rect, color); }
  TSize TextExtent(const std::string& text, const TFont& font) override { return device_->TextExtent(text, font); }

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ previous_ = nullptr;
  std::optional<NativePaintDevice> device_;
};

}  // namespace

std::string SystemReason(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD length =
      ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text(buffer != nullptr ? buffer : L"", length);
  if (buffer != nullptr) ::LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ' || text.back() == L'.'))
    text.pop_back();
  return text.empty() ? "системная ошибка " + std::to_string(code) : Narrow(text);
}

PrintResult PrintOn(HDC printer, const PrintJob& job, int copies) {
  const DWORD error = PrintPages(printer, job, copies, nullptr);
  if (error != ERROR_SUCCESS) return {PrintOutcome::Failed, "Не удалось напечатать: " + SystemReason(error)};
  return {};
}

}  // namespace kit::win

namespace kit {

bool CanSaveAsPdf() {
  // An information context: it asks the printer's driver nothing but its presence.
  HDC dc = ::CreateICW(L"WINSPOOL", win::Wide(kSystemPdfPrinter).c_str(), nullptr, nullptr);
  if (dc == nullptr) return false;
  ::DeleteDC(dc);
  return true;
}

std::unique_ptr<PaintDevice> CreatePageMeasuringDevice(int) { return std::make_unique<win::MeasuringDevice>(); }

PrintResult SaveAsPdf(const PrintJob& job, const std::string& path, const StoreFile&) {
  // A4 portrait, whatever the printer's defaults; a driver that refuses
  // these settings is asked for its own.
  const std::wstring printer = win::Wide(kSystemPdfPrinter);
  DEVMODEW settings{};
  settings.dmSize = sizeof settings;
  printer.copy(settings.dmDeviceName, CCHDEVICENAME - 1);
  settings.dmFields = DM_ORIENTATION | DM_PAPERSIZE;
  settings.dmOrientation = DMORIENT_PORTRAIT;
  settings.dmPaperSize = DMPAPER_A4;
  HDC dc = ::CreateDCW(L"WINSPOOL", printer.c_str(), nullptr, &settings);
  if (dc == nullptr) dc = ::CreateDCW(L"WINSPOOL", printer.c_str(), nullptr, nullptr);
  if (dc == nullptr) return {PrintOutcome::NoPdfPrinter, {}};
  const std::wstring output = win::Wide(path);
  const DWORD error = win::PrintPages(dc, job, 1, &output);
  ::DeleteDC(dc);
  if (error != ERROR_SUCCESS)
    return {PrintOutcome::Failed, "Не удалось сохранить файл «" + path + "»: " + win::SystemReason(error)};
  return {};
}

}  // namespace kit
