#include "export/measurement_export.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>

#include "export/automation/text_convert.h"
#include "export/spreadsheet/file_format.h"
#include "stopwatch/cell_text.h"
#include "stopwatch/measurement_table.h"

namespace measurement_export {
namespace {

using automation::Int16;
using automation::OleVariant;
using automation::Omitted;

// Every chain starts from the link and reaches the sheet afresh.
OleVariant Sheet(const OleVariant& link) { return link.Call("WorkSheets").Get("Item", 1); }

OleVariant Range(const OleVariant& link, const char* address) { return Sheet(link).Get("Range", address, Omitted()); }

constexpr std::int16_t kCentered = -4108;
constexpr std::int32_t kLightGrey = 15132390;  // red 230, green 230, blue 230
constexpr std::int32_t kYellow = 65535;        // red 255, green 255, blue 0

constexpr char kTitle[] = "ТАБЛИЦА ИЗМЕРЕНИЙ\n(время, с)";
constexpr char kNumberHeader[] = "№ измерения";

void FormatSheet(const OleVariant& link) {
  Sheet(link).Call("PageSetup").Put("Orientation", 2);
  Range(link, "A1:K11").Call("Borders").Put("LineStyle", 1);
  Range(link, "A1:K11").Call("Characters").Call("Font").Put("Name", "Arial");
  Sheet(link).Get("Columns", 1).Put("ColumnWidth", 15);
  Range(link, "B2:K11").Put("ColumnWidth", 10);
  Range(link, "A1:K1").Exec("Merge", false);
  Range(link, "F11:K11").Exec("Merge", false);
  Sheet(link).Get("Rows", 1).Put("RowHeight", 45);
  Sheet(link).Get("Cells", 1, 1).Call("Font").Put("Size", 15);
  Range(link, "A2:K11").Call("Font").Put("Size", 12);
  Range(link, "A1:A1").Put("VerticalAlignment", Int16(kCentered));
  Sheet(link).Get("Cells", 1, 1).Call("Interior").Put("Color", kLightGrey);
  Range(link, "A2:K2").Call("Interior").Put("Color", kYellow);
  Range(link, "A3:A11").Call("Interior").Put("Color", kYellow);
  Sheet(link).Get("Cells", 11, 6).Call("Interior").Put("Color", kLightGrey);
}

// A cell's number; a cell that reads as none ends the export, naming its text.
double TextToFloat(std::string_view text, std::string_view separator) {
  if (const std::optional<double> value = stopwatch::ParseCellText(text, separator)) return *value;
  throw EConvertError("'" + std::string(text) + "' is not a valid floating point value");
}

void WriteHeaderBlock(const OleVariant& link) {
  Sheet(link).Put("Cells", 1, 1, kTitle);
  Sheet(link).Put("Cells", 2, 1, kNumberHeader);
  Range(link, "A1:K12").Put("HorizontalAlignment", Int16(kCentered));
  for (int n = 1; n <= 9; ++n) {
    Sheet(link).Get("Cells", 2, n + 2).Put("NumberFormat", "@");
    Sheet(link).Get("Cells", 2, n + 2).Put("Value", "+" + std::to_string(n));
    Sheet(link).Get("Cells", n + 2, 1).Put("NumberFormat", "@");
    Sheet(link).Get("Cells", n + 2, 1).Put("Value", std::to_string(n - 1) + "0");
  }
}

// Copies the filled grid cells, column by column, each top to bottom. The
// header block and the read-date line are the same whichever filled cell
// writes them, so the first one does, once.
void CopyGrid(ExportPorts& ports, const OleVariant& link) {
  std::string const separator = ports.DecimalSeparator();
  bool headerWritten = false;
  for (int c = 1; c < stopwatch::kGridColumns; ++c) {
    for (int r = 1; r < stopwatch::kGridRows; ++r) {
      std::string const text = ports.CellText(c, r);
      if (text == stopwatch::kEmptyTimeText || text.empty()) continue;
      if (!headerWritten) WriteHeaderBlock(link);
      if (!stopwatch::IsReadStampCell(c, r)) {
        double const value = TextToFloat(text, separator);
        Sheet(link).Put("Cells", r + 2, c + 1, value);
      }
      if (!headerWritten) {
        using stopwatch::kReadDateCell, stopwatch::kReadTimeCell;
        Sheet(link).Put("Cells", 11, 6,
                        "Данные считаны " + ports.CellText(kReadDateCell.column, kReadDateCell.row) + " в " +
                            ports.CellText(kReadTimeCell.column, kReadTimeCell.row));
        headerWritten = true;
      }
    }
  }
}

void DisableAlerts(const OleVariant& link) { link.Call("Application").Put("DisplayAlerts", false); }

// From this version on (Excel 2007) a workbook saved with a name only takes
// the application's default format, .xlsx unless the user changed it, even
// for a name ending in ".xls"; such an application is told the format.
constexpr int kFirstVersionWithFileFormats = 12;

// The major version "Version" answers ("16.0", or a number); 0 when it
// answers nothing that reads as one.
int MajorVersion(const OleVariant& version) {
  const VARIANT& raw = version.Raw();
  switch (raw.vt) {
    case VT_I2: return raw.iVal;
    case VT_I4: return raw.lVal;
    case VT_R8: return std::isfinite(raw.dblVal) && std::abs(raw.dblVal) < 1e9 ? static_cast<int>(raw.dblVal) : 0;
    case VT_BSTR: {
      std::string const text = automation::FromBstr(raw.bstrVal);
      int major = 0;
      auto const [end, error] = std::from_chars(text.data(), text.data() + text.size(), major);
      return error == std::errc() ? major : 0;
    }
    default: return 0;
  }
}

std::int32_t FileFormatFor(const std::string& path) {
  using namespace spreadsheet;
  return FormatForPath(path) == FileFormat::Xlsx ? xl::kOpenXmlWorkbook : xl::kExcel8;
}

void SaveWorkbook(const OleVariant& link, const std::string& path) {
  int const version = MajorVersion(link.Call("Application").Get("Version"));
  OleVariant const workbook = link.Call("Application").Call("WorkBooks").Get("Item", 1);
  if (version >= kFirstVersionWithFileFormats) {
    workbook.Exec("SaveAs", path, FileFormatFor(path));
  } else {
    workbook.Exec("SaveAs", path);
  }
}

// Asks for the file, saves, and quits the instance.
void SaveAndQuit(ExportPorts& ports, const OleVariant& link) {
  if (ports.ExecuteSaveDialog()) {
    DisableAlerts(link);
    std::string const path = ports.SaveDialogFileName();
    if (ports.FileExists(path) && !ports.ConfirmOverwrite(OverwriteQuestion(path))) {
      link.Exec("Quit");
      return;
    }
    SaveWorkbook(link, path);
  }
  DisableAlerts(link);
  link.Exec("Quit");
}

// An export that fails half-way must not leave its invisible instance
// running with an unsaved workbook: it is told to quit without asking, and
// whatever goes wrong with that is of no interest beside the first error.
void QuitAfterFailure(const OleVariant& link) noexcept {
  try {
    DisableAlerts(link);
  } catch (...) {
  }
  try {
    link.Exec("Quit");
  } catch (...) {
  }
}

}  // namespace

std::string OverwriteQuestion(const std::string& path) {
  return "Файл с именем:\n\"" + path + "\"\nУже существует. Перезаписать?";
}

bool RegularFileExists(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(std::filesystem::path(std::u8string(path.begin(), path.end())), error);
}

void ExportMeasurements(ExportPorts& ports) {
  if (!ports.SpreadsheetInstalled()) {
    ports.SetSpreadsheetLabel(automation::SpreadsheetMissingLabel());
    return;
  }
  OleVariant& link = ports.Link();
  // A failing start leaves no instance of this export behind.
  automation::StartSpreadsheetInstance(link);
  // Who saves may have changed since the window opened (MS Excel installed
  // or removed meanwhile): Label1 says who does this time.
  ports.SetSpreadsheetLabel(automation::SpreadsheetStateLabel());
  try {
    link.Call("Application").Call("WorkBooks").Exec("Add");
    FormatSheet(link);
    CopyGrid(ports, link);
    SaveAndQuit(ports, link);
  } catch (...) {
    QuitAfterFailure(link);
    link.Clear();
    throw;
  }
  // Told to quit, the instance is let go of as well: MS Excel ends only once
  // the last reference to it is released, and one kept in the link would
  // leave it running invisibly until the next save or the program's end.
  link.Clear();
}

}  // namespace measurement_export
