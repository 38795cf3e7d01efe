// The formatting tables, byte for byte: fonts, number formats, XFs, the
// style and the palette, for a merged-title-like cell and a filled one.
#include <gtest/gtest.h>

#include <sstream>

#include "export/spreadsheet/workbook.h"
#include "export/spreadsheet/xls/style_table.h"
#include "tests/spreadsheet/xls/expected_bytes.h"

namespace spreadsheet::testing {
namespace {

// Palette entries given as RRGGBB, stored as red, green, blue and a zero.
Bytes PaletteEntries(const std::string& colors) {
  std::istringstream words(colors);
  Bytes entries;
  for (std::string color; words >> color;) entries = Join({entries, Hex(color), {0}});
  return entries;
}

TEST(XlsStyleTable, FontsFormatsXfsAndAChangedPaletteAreWrittenInTheirOrder) {
  Workbook workbook;
  Worksheet& sheet = workbook.AddWorksheet();
  const CellRange title = SingleCell(1, 1);
  sheet.SetFontSize(title, 15);
  sheet.SetBold(title, true);
  sheet.SetHorizontalAlignment(title, xl::kCenter);
  sheet.SetVerticalAlignment(title, xl::kCenter);
  sheet.SetWrapText(title, true);
  sheet.SetBorderLineStyle(title, xl::kContinuous);
  sheet.SetFillColor(title, 15132390);  // light grey: not in the default palette
  sheet.SetNumberFormat(SingleCell(2, 1), "0.000");
  sheet.SetFillColor(SingleCell(2, 1), 65535);  // yellow: default palette index 13
  xls::RecordStream stream;
  xls::StyleTable(workbook).Write(stream);

  const Bytes arial10 = Record(0x0031, Hex("C800 0000 FF7F 9001 0000 00 00 01 00 05 01 4100720069006100 6C00"));
  const Bytes arial15Bold = Record(0x0031, Hex("2C01 0100 FF7F BC02 0000 00 00 01 00 05 01 4100720069006100 6C00"));
  const Bytes styleXf = Record(0x00E0, Hex("0000 0000 F5FF 20 00 00 F4 00000000 00000000 C020"));
  const Bytes expected = Join({
      arial10,
      arial10,
      arial10,
      arial10,
      arial15Bold,                                                               // index 4 is skipped: this is font 5
      Record(0x041E, Hex("A400 0500 00 302E303030")),                            // "0.000", the first custom format id
      Record(0x00E0, Hex("0000 0000 F5FF 20 00 00 00 00000000 00000000 C020")),  // XF 0, "Normal"
      Repeated(styleXf, 14),
      Record(0x00E0, Hex("0000 0000 0100 20 00 00 00 00000000 00000000 C020")),  // XF 15, the default cell
      // XF 16: font 5, General, centred both ways, wrapped, thin automatic
      // borders, solid fill in palette slot 63.
      Record(0x00E0, Hex("0500 0000 0100 1A 00 00 FC 11114020 40200004 BF20")),
      // XF 17: font 0, format 164, bottom-aligned, no borders, solid yellow.
      Record(0x00E0, Hex("0000 A400 0100 20 00 00 FC 00000000 00000004 8D20")),
      Record(0x0293, Hex("0080 00 FF")),
      Record(0x0092, Join({Hex("3800"), PaletteEntries("000000 FFFFFF FF0000 00FF00 0000FF FFFF00 FF00FF 00FFFF "
                                                       "800000 008000 000080 808000 800080 008080 C0C0C0 808080 "
                                                       "9999FF 993366 FFFFCC CCFFFF 660066 FF8080 0066CC CCCCFF "
                                                       "000080 FF00FF FFFF00 00FFFF 800080 800000 008080 0000FF "
                                                       "00CCFF CCFFFF CCFFCC FFFF99 99CCFF FF99CC CC99FF FFCC99 "
                                                       "3366FF 33CCCC 99CC00 FFCC00 FF9900 FF6600 666699 969696 "
                                                       "003366 339966 003300 333300 993300 993366 333399 E6E6E6")})),
  });
  EXPECT_TRUE(SameBytes(stream.Data(), expected));
}

}  // namespace
}  // namespace spreadsheet::testing
