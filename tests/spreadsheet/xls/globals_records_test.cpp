// The workbook globals byte for byte: identity, protection, window and
// calculation settings around the formatting tables (their own test has
// them), the sheet directory, the country, and an empty string table.
#include <gtest/gtest.h>

#include "export/spreadsheet/workbook.h"
#include "export/spreadsheet/xls/globals_records.h"
#include "tests/spreadsheet/xls/expected_bytes.h"

namespace spreadsheet::testing {
namespace {

TEST(XlsGlobalsRecords, AreWrittenInTheGrammarsOrderWithTheCountryBeforeTheStrings) {
  Workbook workbook;
  workbook.AddWorksheet().SetNumber(1, 1, 2);
  const xls::StyleTable styles(workbook);
  const xls::SharedStrings strings(workbook);
  xls::RecordStream formatting;
  styles.Write(formatting);
  xls::RecordStream stream;
  const std::vector<std::size_t> sheetPositions = xls::WriteGlobals(stream, workbook, styles, strings);

  const Bytes head = Join({
      Record(0x0809, Hex("0006 0500 BB0D CC07 00000000 06000000")),  // BOF of the globals
      Record(0x00E1, Hex("B004")),
      Record(0x00C1, Hex("0000")),
      Record(0x00E2, {}),
      Record(0x005C, Join({Hex("0700 00 4C756D65747261"), Bytes(102, 0x20)})),  // "Lumetra", padded to 112
      Record(0x0042, Hex("B004")),                                              // UTF-16 texts
      Record(0x0161, Hex("0000")),
      Record(0x013D, Hex("0100")),  // one sheet tab
      Record(0x0019, Hex("0000")),
      Record(0x0012, Hex("0000")),
      Record(0x0013, Hex("0000")),
      Record(0x01AF, Hex("0000")),
      Record(0x01BC, Hex("0000")),  // nothing protected
      Record(0x003D, Hex("6801 1E00 5C3A BE23 3800 0000 0000 0100 5802")),
      Record(0x0040, Hex("0000")),
      Record(0x008D, Hex("0000")),
      Record(0x0022, Hex("0000")),
      Record(0x000E, Hex("0100")),  // full precision
      Record(0x01B7, Hex("0000")),
      Record(0x00DA, Hex("0000")),
      formatting.Data(),
      Record(0x0160, Hex("0100")),
  });
  const Bytes expected = Join({
      head,
      Record(0x0085, Hex("00000000 00 00 05 01 1B04 3804 4104 4204 3100")),  // "Лист1", placed later
      Record(0x008C, Hex("0700 0700")),                                      // Russia, Russia
      Record(0x00FC, Hex("00000000 00000000")),                              // no texts
      Record(0x00FF, Hex("0800")),
      Record(0x000A, {}),
  });
  EXPECT_TRUE(SameBytes(stream.Data(), expected));
  EXPECT_EQ(sheetPositions, std::vector<std::size_t>{head.size() + 4});
}

}  // namespace
}  // namespace spreadsheet::testing
