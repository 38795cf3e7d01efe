#include "export/spreadsheet/xls/globals_records.h"

#include "base/utf.h"
#include "export/spreadsheet/xls/record_types.h"

namespace spreadsheet::xls {
namespace {

constexpr std::uint16_t kUnicodeCodePage = 1200;
constexpr std::size_t kWriteAccessSize = 112;
constexpr char16_t kAuthor[] = u"Lumetra";

void WriteWriteAccess(RecordStream& stream) {
  stream.Begin(record::kWriteAccess);
  stream.UnicodeString(kAuthor);
  while (stream.RecordDataSize() < kWriteAccessSize) stream.U8(0x20);  // padded with spaces
  stream.End();
}

void WriteWindow1(RecordStream& stream) {
  stream.Begin(record::kWindow1);
  stream.U16(0x0168);  // position and size of the workbook window, in twips
  stream.U16(0x001E);
  stream.U16(0x3A5C);
  stream.U16(0x23BE);
  stream.U16(0x0038);  // horizontal and vertical scroll bars, sheet tabs
  stream.U16(0);       // active sheet
  stream.U16(0);       // first visible tab
  stream.U16(1);       // one sheet selected
  stream.U16(600);     // tab bar takes 60% of the width
  stream.End();
}

void WriteFont(RecordStream& stream, const Font& font) {
  stream.Begin(record::kFont);
  stream.U16(font.height);
  stream.U16(font.bold ? 0x0001 : 0x0000);
  stream.U16(0x7FFF);                   // automatic colour
  stream.U16(font.bold ? 700 : 400);    // weight
  stream.U16(0);                        // no super- or subscript
  stream.U8(0);                         // no underline
  stream.U8(0);                         // family unknown
  stream.U8(1);                         // default character set
  stream.U8(0);
  stream.ShortUnicodeString(font.name);
  stream.End();
}

// Style XF 0 ("Normal"), style XFs 1..14, then the default cell XF 15.
void WriteBuiltInXfs(RecordStream& stream) {
  constexpr std::uint8_t kNormal[20] = {0x00, 0x00, 0x00, 0x00, 0xF5, 0xFF, 0x20, 0x00, 0x00, 0x00,
                                        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x20};
  constexpr std::uint8_t kCell[20] = {0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x20, 0x00, 0x00, 0x00,
                                      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x20};
  for (int i = 0; i < 15; ++i) {
    std::uint8_t xf[20];
    std::copy(std::begin(kNormal), std::end(kNormal), xf);
    if (i > 0) xf[9] = 0xF4;
    stream.Begin(record::kXf);
    stream.Bytes(xf, sizeof xf);
    stream.End();
  }
  stream.Begin(record::kXf);
  stream.Bytes(kCell, sizeof kCell);
  stream.End();
}

void WriteStyles(RecordStream& stream, const StyleTable& styles) {
  for (const Font& font : styles.Fonts()) WriteFont(stream, font);
  for (const NumberFormat& format : styles.CustomFormats()) {
    stream.Begin(record::kFormat);
    stream.U16(format.id);
    stream.UnicodeString(format.text);
    stream.End();
  }
  WriteBuiltInXfs(stream);
  for (const CellFormat& format : styles.CustomXfs()) {
    const auto xf = styles.EncodeCellXf(format);
    stream.Begin(record::kXf);
    stream.Bytes(xf.data(), xf.size());
    stream.End();
  }
  stream.Begin(record::kStyle);
  stream.U16(0x8000);  // built-in style on XF 0
  stream.U8(0x00);     // "Normal"
  stream.U8(0xFF);     // no outline level
  stream.End();
  if (styles.PaletteChanged()) {
    stream.Begin(record::kPalette);
    stream.U16(static_cast<std::uint16_t>(styles.Palette().size()));
    for (std::uint32_t color : styles.Palette()) stream.U32(color);  // red, green, blue, 0
    stream.End();
  }
}

}  // namespace

void WriteBof(RecordStream& stream, std::uint16_t substreamType) {
  stream.Begin(record::kBof);
  stream.U16(0x0600);  // BIFF8
  stream.U16(substreamType);
  stream.U16(0x0DBB);  // build
  stream.U16(0x07CC);  // year
  stream.U32(0);       // file history flags
  stream.U32(6);       // lowest BIFF version that wrote the file
  stream.End();
}

std::vector<std::size_t> WriteGlobals(RecordStream& stream, const Workbook& workbook, const StyleTable& styles,
                                      const SharedStrings& strings) {
  WriteBof(stream, 0x0005);
  stream.U16Record(record::kInterfaceHdr, kUnicodeCodePage);
  stream.U16Record(record::kMms, 0);
  stream.Empty(record::kInterfaceEnd);
  WriteWriteAccess(stream);
  stream.U16Record(record::kCodePage, kUnicodeCodePage);
  stream.U16Record(record::kDsf, 0);
  stream.Begin(record::kTabId);
  for (std::size_t s = 0; s < workbook.WorksheetCount(); ++s) stream.U16(static_cast<std::uint16_t>(s + 1));
  stream.End();
  for (std::uint16_t type : {record::kWindowProtect, record::kProtect, record::kPassword, record::kProt4Rev,
                             record::kProt4RevPass}) {
    stream.U16Record(type, 0);
  }
  WriteWindow1(stream);
  stream.U16Record(record::kBackup, 0);
  stream.U16Record(record::kHideObj, 0);
  stream.U16Record(record::kDateMode, 0);   // dates count from 1900
  stream.U16Record(record::kPrecision, 1);  // full precision, not "as displayed"
  stream.U16Record(record::kRefreshAll, 0);
  stream.U16Record(record::kBookBool, 0);
  WriteStyles(stream, styles);
  stream.U16Record(record::kUsesElfs, 1);

  std::vector<std::size_t> sheetPositions;
  for (std::size_t s = 0; s < workbook.WorksheetCount(); ++s) {
    stream.Begin(record::kBoundSheet);
    sheetPositions.push_back(stream.Size());
    stream.U32(0);  // filled in once the sheet is placed
    stream.U8(0);   // visible
    stream.U8(0);   // worksheet
    stream.ShortUnicodeString(base::Utf8ToUtf16Strict(workbook.WorksheetAt(s).Name()).value_or(u"Sheet"));
    stream.End();
  }
  strings.Write(stream);
  stream.Empty(record::kEof);
  return sheetPositions;
}

}  // namespace spreadsheet::xls
