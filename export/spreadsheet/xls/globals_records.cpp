#include "export/spreadsheet/xls/globals_records.h"

#include "base/utf.h"
#include "export/spreadsheet/xls/record_types.h"

namespace spreadsheet::xls {
namespace {

constexpr std::uint16_t kUnicodeCodePage = 1200;
constexpr std::size_t kWriteAccessSize = 112;
constexpr char16_t kAuthor[] = u"Lumetra";
// The user interface's and the system's country, Russia for both: our users'
// desktops. Readers that edit a workbook place their link table and defined
// names after this record and refuse to add any without it.
constexpr std::uint16_t kCountryRussia = 7;

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
  for (std::uint16_t type :
       {record::kWindowProtect, record::kProtect, record::kPassword, record::kProt4Rev, record::kProt4RevPass}) {
    stream.U16Record(type, 0);
  }
  WriteWindow1(stream);
  stream.U16Record(record::kBackup, 0);
  stream.U16Record(record::kHideObj, 0);
  stream.U16Record(record::kDateMode, 0);   // dates count from 1900
  stream.U16Record(record::kPrecision, 1);  // full precision, not "as displayed"
  stream.U16Record(record::kRefreshAll, 0);
  stream.U16Record(record::kBookBool, 0);
  styles.Write(stream);
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
  stream.Begin(record::kCountry);
  stream.U16(kCountryRussia);
  stream.U16(kCountryRussia);
  stream.End();
  strings.Write(stream);
  stream.Empty(record::kEof);
  return sheetPositions;
}

}  // namespace spreadsheet::xls
