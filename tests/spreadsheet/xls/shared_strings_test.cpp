// The shared string table, byte for byte: where its texts are cut when they
// do not fit into one record.
#include <gtest/gtest.h>

#include "export/spreadsheet/workbook.h"
#include "export/spreadsheet/xls/shared_strings.h"
#include "tests/spreadsheet/xls/expected_bytes.h"

namespace spreadsheet::testing {
namespace {

TEST(XlsSharedStrings, TextsGoOnInContinueRecordsWithoutSplittingAHeaderOrACharacter) {
  Workbook workbook;
  Worksheet& sheet = workbook.AddWorksheet();
  sheet.SetText(1, 1, std::string(8210, 'a'));  // leaves 3 of the SST's 8224 bytes
  std::string ya;
  for (int i = 0; i < 4111; ++i) ya += "Я";
  sheet.SetText(2, 1, ya);
  sheet.SetText(3, 1, "z");
  sheet.SetText(4, 1, "z");  // counted twice, stored once
  xls::RecordStream stream;
  xls::SharedStrings(workbook).Write(stream);

  // Four cells, three texts; 8210 one-byte characters.
  const Bytes sst = Join({Hex("04000000 03000000"), Hex("1220 00"), Repeated(Hex("61"), 8210)});
  // The two-byte text's header and first character do not fit into the 3
  // bytes left: it starts the next record whole. 4110 characters fill that
  // but one byte, too few for the last character.
  const Bytes continued = Join({Hex("0F10 01"), Repeated(Hex("2F04"), 4110)});
  // The character array resumes with its flags byte; then "z".
  const Bytes last = Hex("01 2F04  0100 00 7A");
  // Buckets of 8 texts: one, starting 12 bytes into the SST, at stream offset 12.
  const Bytes index = Hex("0800 0C000000 0C00 0000");
  EXPECT_TRUE(SameBytes(stream.Data(), Join({Record(0x00FC, sst), Record(0x003C, continued), Record(0x003C, last),
                                             Record(0x00FF, index)})));
}

}  // namespace
}  // namespace spreadsheet::testing
