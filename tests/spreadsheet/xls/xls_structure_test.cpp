// Structure of the written .xls beyond what the reading checks see: the rules
// Excel enforces on opening (record sizes, font index 4, XF kinds, sheet
// offsets, shared-string splitting, dimensions, merged areas) are ones other
// readers let pass, so they are checked here record by record.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "base/utf.h"
#include "export/spreadsheet/spreadsheet_error.h"
#include "export/spreadsheet/xls/xls_writer.h"
#include "tests/spreadsheet/xls/xls_stream_reader.h"
#include "tests/support/sample_workbooks.h"

namespace spreadsheet::testing {
namespace {

constexpr std::uint16_t kBof = 0x0809, kEof = 0x000A, kFont = 0x0031, kXf = 0x00E0, kBoundSheet = 0x0085, kSst = 0x00FC,
                        kExtSst = 0x00FF, kLabelSst = 0x00FD, kNumber = 0x0203, kBlank = 0x0201, kRow = 0x0208,
                        kColInfo = 0x007D, kDimensions = 0x0200, kMerged = 0x00E5, kPalette = 0x0092, kWindow2 = 0x023E;

struct Parsed {
  std::vector<std::uint8_t> stream;
  std::vector<Record> records;
};

Parsed Parse(const Workbook& workbook) {
  Parsed parsed;
  parsed.stream = WorkbookStream(xls::BuildXlsFile(workbook));
  parsed.records = SplitRecords(parsed.stream);
  return parsed;
}

std::vector<const Record*> OfType(const Parsed& parsed, std::uint16_t type) {
  std::vector<const Record*> found;
  for (const Record& record : parsed.records) {
    if (record.type == type) found.push_back(&record);
  }
  return found;
}

bool IsCell(std::uint16_t type) { return type == kLabelSst || type == kNumber || type == kBlank; }

// Every rule that holds for any workbook the writer produces.
void ExpectWellFormed(const Parsed& parsed) {
  const auto& records = parsed.records;
  ASSERT_FALSE(records.empty());
  EXPECT_EQ(records.front().type, kBof);
  EXPECT_EQ(records.front().U16(0), 0x0600);
  EXPECT_EQ(records.front().U16(2), 0x0005);
  EXPECT_EQ(records.back().type, kEof);
  for (const Record& record : records) EXPECT_LE(record.data.size(), 8224u) << std::hex << record.type;

  const auto fonts = OfType(parsed, kFont);
  const auto xfs = OfType(parsed, kXf);
  ASSERT_GE(fonts.size(), 4u);
  ASSERT_GE(xfs.size(), 16u);
  for (std::size_t i = 0; i < xfs.size(); ++i) {
    const Record& xf = *xfs[i];
    ASSERT_EQ(xf.data.size(), 20u);
    const std::uint16_t font = xf.U16(0);
    EXPECT_NE(font, 4) << "XF " << i << " uses the font index that does not exist";
    EXPECT_LE(font, fonts.size()) << "XF " << i;
    EXPECT_EQ((xf.U16(4) & 0x0004) != 0, i < 15) << "XF " << i << ": 0..14 are style XFs, the rest cell XFs";
    const std::uint32_t borders = xf.U32(10);
    for (int edge = 0; edge < 2; ++edge) {  // left and right: line style and colour in the same word
      const bool drawn = (borders >> (4 * edge)) & 0xF;
      EXPECT_EQ(drawn, ((borders >> (16 + 7 * edge)) & 0x7F) != 0) << "XF " << i << ": a line needs a colour";
    }
  }
  for (const Record* palette : OfType(parsed, kPalette)) {
    EXPECT_EQ(palette->U16(0), 56);
    EXPECT_EQ(palette->data.size(), 226u);
  }

  // Each sheet entry points at the BOF of a worksheet substream.
  for (const Record* sheet : OfType(parsed, kBoundSheet)) {
    const std::uint32_t position = sheet->U32(0);
    const auto bof =
        std::find_if(records.begin(), records.end(), [&](const Record& r) { return r.offset == position; });
    ASSERT_NE(bof, records.end()) << "sheet offset " << position << " is not a record";
    EXPECT_EQ(bof->type, kBof);
    EXPECT_EQ(bof->U16(2), 0x0010);
  }

  // Per sheet: cells inside DIMENSIONS, on cell XFs, ROW and COLINFO on XF 15, merges sound.
  const auto texts = DecodeSst(records);
  std::size_t labels = 0;
  std::map<std::pair<int, int>, std::uint16_t> cellXf;
  const Record* dimensions = nullptr;
  const auto checkSheetEnd = [&] {
    for (const auto& [key, xf] : cellXf) {
      ASSERT_NE(dimensions, nullptr);
      EXPECT_GE(key.first, static_cast<int>(dimensions->U32(0)));
      EXPECT_LT(key.first, static_cast<int>(dimensions->U32(4)));
      EXPECT_GE(key.second, dimensions->U16(8));
      EXPECT_LT(key.second, dimensions->U16(10));
    }
  };
  for (const Record& record : records) {
    if (record.type == kBof && record.U16(2) == 0x0010) {
      cellXf.clear();
      dimensions = nullptr;
    } else if (record.type == kDimensions) {
      ASSERT_EQ(record.data.size(), 14u);
      dimensions = &record;
    } else if (IsCell(record.type)) {
      const std::uint16_t xf = record.U16(4);
      EXPECT_GE(xf, 15) << "a cell on a style XF";
      EXPECT_LT(xf, xfs.size());
      EXPECT_TRUE(cellXf.emplace(std::pair{record.U16(0), record.U16(2)}, xf).second) << "two records for one cell";
      if (record.type == kLabelSst) {
        ++labels;
        EXPECT_LT(record.U32(6), texts.size());
      }
    } else if (record.type == kRow) {
      EXPECT_LE(record.U16(6), 8192);
      EXPECT_EQ(record.U16(6) & 0x8000, 0);
      EXPECT_EQ(record.U32(12) & 0xFF00, 0x0100u);
    } else if (record.type == kColInfo) {
      EXPECT_EQ(record.U16(6), 15);
    } else if (record.type == kWindow2) {
      EXPECT_EQ(record.data.size(), 18u);
    } else if (record.type == kMerged) {
      std::vector<std::array<int, 4>> areas;
      for (std::size_t i = 0; i < record.U16(0); ++i) {
        const std::array<int, 4> area{record.U16(2 + 8 * i), record.U16(4 + 8 * i), record.U16(6 + 8 * i),
                                      record.U16(8 + 8 * i)};
        EXPECT_TRUE(area[1] > area[0] || area[3] > area[2]) << "a merged single cell";
        for (const auto& other : areas) {
          EXPECT_FALSE(area[0] <= other[1] && other[0] <= area[1] && area[2] <= other[3] && other[2] <= area[3]);
        }
        areas.push_back(area);
        // The whole area shows one format: every cell of it is written with the top-left XF.
        const auto anchor = cellXf.find({area[0], area[2]});
        ASSERT_NE(anchor, cellXf.end());
        for (int row = area[0]; row <= area[1]; ++row) {
          for (int column = area[2]; column <= area[3]; ++column) {
            const auto cell = cellXf.find({row, column});
            ASSERT_NE(cell, cellXf.end()) << row << "," << column;
            EXPECT_EQ(cell->second, anchor->second);
          }
        }
      }
    } else if (record.type == kEof && dimensions) {
      checkSheetEnd();
    }
  }
  const auto sst = OfType(parsed, kSst);
  ASSERT_EQ(sst.size(), 1u);
  EXPECT_EQ(sst.front()->U32(0), labels);
  EXPECT_EQ(sst.front()->U32(4), texts.size());

  // EXTSST: bucket starts point at the texts they name.
  const auto extSst = OfType(parsed, kExtSst);
  ASSERT_EQ(extSst.size(), 1u);
  const std::size_t bucket = extSst.front()->U16(0);
  EXPECT_EQ(bucket, std::max<std::size_t>(texts.size() / 128 + 1, 8));
  const std::size_t entries = (extSst.front()->data.size() - 2) / 8;
  EXPECT_EQ(entries, (texts.size() + bucket - 1) / bucket);
  for (std::size_t k = 0; k < entries && k * bucket < texts.size(); ++k) {
    const std::uint32_t position = extSst.front()->U32(2 + 8 * k);
    EXPECT_EQ(position, texts[k * bucket].offset);
    const auto holder =
        std::find_if(records.rbegin(), records.rend(), [&](const Record& r) { return r.offset < position; });
    EXPECT_EQ(extSst.front()->U16(6 + 8 * k), position - holder->offset);
  }
}

TEST(XlsStructure, MeasurementWorkbooksFollowTheRulesExcelChecks) {
  for (const auto& grid : {FullGrid(), OneCellGrid(), EmptyGrid()}) {
    SCOPED_TRACE(grid[1][1]);
    ExpectWellFormed(Parse(BuildMeasurementWorkbook(grid)));
  }
}

TEST(XlsStructure, LongTextsSplitAcrossRecordsDecodeExactly) {
  const Workbook workbook = BuildStressWorkbook();
  const Parsed parsed = Parse(workbook);
  ExpectWellFormed(parsed);
  const auto texts = DecodeSst(parsed.records);
  ASSERT_EQ(texts.size(), 3u + 1497u);  // "строка 4" stored once
  EXPECT_EQ(texts[0].text, base::Utf8ToUtf16Strict(StressLatinText()));
  EXPECT_EQ(texts[1].text, base::Utf8ToUtf16Strict(StressCyrillicText()));
  EXPECT_EQ(texts[2].text, base::Utf8ToUtf16Strict(StressLatinText() + "é"));
  EXPECT_GT(OfType(parsed, 0x003C).size(), 3u) << "the long texts need CONTINUE records";
}

TEST(XlsStructure, TextFillingARecordExactlyStartsTheNextTextInContinue) {
  // Sizes around the 8224-byte limit, so that the cut falls on and beside a text boundary.
  for (int length : {8213, 8214, 8215, 8216, 4104, 4105, 4106}) {
    Workbook workbook;
    Worksheet& sheet = workbook.AddWorksheet();
    sheet.SetText(1, 1, std::string(static_cast<std::size_t>(length), 'x'));
    sheet.SetText(2, 1, "Я");
    sheet.SetText(3, 1, "after");
    std::string wide;
    for (int i = 0; i < length / 2; ++i) wide += "ы";
    sheet.SetText(4, 1, wide);
    sheet.SetText(5, 1, "end");
    SCOPED_TRACE(length);
    const Parsed parsed = Parse(workbook);
    ExpectWellFormed(parsed);
    const auto texts = DecodeSst(parsed.records);
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[1].text, u"Я");
    EXPECT_EQ(texts[2].text, u"after");
    EXPECT_EQ(texts[3].text, base::Utf8ToUtf16Strict(wide));
    EXPECT_EQ(texts[4].text, u"end");
  }
}

TEST(XlsStructure, PaletteHoldsEveryColourUsedExactlyWhileSlotsLast) {
  Workbook workbook;
  Worksheet& sheet = workbook.AddWorksheet();
  sheet.SetFillColor(SingleCell(1, 1), 65535);     // yellow: already in the palette
  sheet.SetFillColor(SingleCell(2, 1), 15132390);  // light grey: needs a slot
  sheet.SetFillColor(SingleCell(3, 1), 0x333333);  // the default colour of the last slot stays usable
  const Parsed parsed = Parse(workbook);
  ExpectWellFormed(parsed);
  const auto palettes = OfType(parsed, kPalette);
  ASSERT_EQ(palettes.size(), 1u);
  const auto xfs = OfType(parsed, kXf);
  std::map<std::uint16_t, std::uint32_t> fillOfXf;
  for (std::size_t i = 16; i < xfs.size(); ++i) {
    const std::uint16_t index = xfs[i]->U16(18) & 0x7F;
    ASSERT_GE(index, 8);
    fillOfXf[static_cast<std::uint16_t>(i)] = palettes.front()->U32(2 + 4 * (index - 8));
  }
  std::set<std::uint32_t> shown;
  for (const Record* cell : OfType(parsed, kBlank)) shown.insert(fillOfXf.at(cell->U16(4)));
  EXPECT_EQ(shown, (std::set<std::uint32_t>{65535, 15132390, 0x333333}));
}

TEST(XlsStructure, WorkbookWithoutSheetsIsRefused) { EXPECT_THROW(xls::BuildXlsFile(Workbook{}), SpreadsheetError); }

}  // namespace
}  // namespace spreadsheet::testing
