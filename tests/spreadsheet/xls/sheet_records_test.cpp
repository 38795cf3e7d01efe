// One worksheet's substream, byte for byte: settings, page setup, column
// widths, dimensions, rows, cells, window and merged areas.
#include <gtest/gtest.h>

#include "export/spreadsheet/workbook.h"
#include "export/spreadsheet/xls/sheet_records.h"
#include "tests/spreadsheet/xls/expected_bytes.h"

namespace spreadsheet::testing {
namespace {

TEST(XlsSheetRecords, ASmallSheetIsWrittenRecordByRecord) {
  Workbook workbook;
  Worksheet& sheet = workbook.AddWorksheet();
  sheet.SetOrientation(xl::kLandscape);
  sheet.SetColumnWidth(SingleCell(1, 1), 15);
  sheet.SetRowHeight(SingleCell(1, 1), 45);
  sheet.SetText(1, 1, "x");
  sheet.SetHorizontalAlignment(SingleCell(1, 1), xl::kCenter);
  sheet.Merge(ParseRange("A1:B1"));  // B1 takes A1's format: a formatted blank
  sheet.SetNumber(2, 1, 1.5);
  const xls::StyleTable styles(workbook);
  const xls::SharedStrings strings(workbook);
  xls::RecordStream stream;
  xls::WriteSheet(stream, sheet, styles, strings, true);

  const Bytes expected = Join({
      Record(0x0809, Hex("0006 1000 BB0D CC07 00000000 06000000")),  // BOF of a worksheet
      Record(0x000D, Hex("0100")),                                   // calculation: automatic,
      Record(0x000C, Hex("6400")),                                   // 100 iterations,
      Record(0x000F, Hex("0100")),                                   // A1 references,
      Record(0x0011, Hex("0000")),                                   // no iteration,
      Record(0x0010, Hex("FCA9F1D24D62503F")),                       // delta 0.001,
      Record(0x005F, Hex("0100")),                                   // recalculated on save
      Record(0x002A, Hex("0000")),
      Record(0x002B, Hex("0000")),
      Record(0x0082, Hex("0100")),
      Record(0x0080, Hex("0000 0000 0000 0000")),
      Record(0x0225, Hex("0000 FF00")),  // default rows 12.75 pt
      Record(0x0081, Hex("C104")),
      Record(0x0014, {}),
      Record(0x0015, {}),
      Record(0x0083, Hex("0000")),
      Record(0x0084, Hex("0000")),
      // A4, 100 %, landscape with paper and orientation defined, 600 dpi,
      // 0.3" header and footer margins, one copy.
      Record(0x00A1, Hex("0900 6400 0100 0100 0100 0000 5802 5802 333333333333D33F 333333333333D33F 0100")),
      Record(0x0055, Hex("0800")),
      Record(0x007D, Hex("0000 0000 B60F 0F00 0200 0000")),                 // column A: 15 characters, set by the user
      Record(0x0200, Hex("00000000 02000000 0000 0200 0000")),              // rows 0..1, columns 0..1
      Record(0x0208, Hex("0000 0000 0200 8403 0000 0000 40010F00")),        // row 1: 45 pt, set by hand
      Record(0x0208, Hex("0100 0000 0100 FF00 0000 0000 00010F00")),        // row 2: fits its 10-point font
      Record(0x00FD, Hex("0000 0000 1000 00000000")),                       // A1: text 0 on XF 16
      Record(0x0201, Hex("0000 0100 1000")),                                // B1: blank on XF 16
      Record(0x0203, Hex("0100 0000 0F00 000000000000F83F")),               // A2: 1.5 on the default XF 15
      Record(0x023E, Hex("B606 0000 0000 4000 0000 0000 0000 0000 0000")),  // selected and shown
      Record(0x001D, Hex("03 0000 0000 0000 0100 0000 0000 00 00")),        // A1 active
      Record(0x00E5, Hex("0100 0000 0000 0000 0100")),                      // A1:B1 merged
      Record(0x000A, {}),
  });
  EXPECT_TRUE(SameBytes(stream.Data(), expected));
}

}  // namespace
}  // namespace spreadsheet::testing
