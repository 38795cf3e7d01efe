#include "export/spreadsheet/xls/shared_strings.h"

#include <algorithm>
#include <variant>

#include "base/utf.h"

namespace spreadsheet::xls {
namespace {

constexpr std::uint16_t kSst = 0x00FC;
constexpr std::uint16_t kContinue = 0x003C;
constexpr std::uint16_t kExtSst = 0x00FF;

struct BucketStart {
  std::uint32_t streamOffset;
  std::uint16_t recordOffset;
};

}  // namespace

SharedStrings::SharedStrings(const Workbook& workbook) {
  for (std::size_t s = 0; s < workbook.WorksheetCount(); ++s) {
    for (const auto& [key, cell] : workbook.WorksheetAt(s).Cells()) {
      const auto* text = std::get_if<std::string>(&cell.value);
      if (!text) continue;
      ++total_;
      if (index_.emplace(*text, static_cast<std::uint32_t>(strings_.size())).second) {
        strings_.push_back(base::Utf8ToUtf16Strict(*text).value_or(u""));
      }
    }
  }
}

// A text that does not fit in what is left of a record goes on in a CONTINUE
// record. A text's header (count and flags) is never split from its first
// character; a character array split across records resumes with one flags
// byte, and two-byte characters are never cut in half.
void SharedStrings::Write(RecordStream& stream) const {
  const std::size_t bucketSize = std::max<std::size_t>(strings_.size() / 128 + 1, 8);
  std::vector<BucketStart> buckets;

  stream.Begin(kSst);
  stream.U32(total_);
  stream.U32(static_cast<std::uint32_t>(strings_.size()));
  for (std::size_t i = 0; i < strings_.size(); ++i) {
    const std::u16string& text = strings_[i];
    const bool compressed = FitsInOneByte(text);
    const std::size_t charSize = compressed ? 1 : 2;
    const std::size_t headerSize = 3;
    if (stream.RecordDataSize() + headerSize + (text.empty() ? 0 : charSize) > RecordStream::kMaxRecordData) {
      stream.End();
      stream.Begin(kContinue);
    }
    if (i % bucketSize == 0) {
      buckets.push_back({static_cast<std::uint32_t>(stream.Size()),
                         static_cast<std::uint16_t>(stream.Size() - stream.RecordStart())});
    }
    stream.U16(static_cast<std::uint16_t>(text.size()));
    stream.U8(compressed ? 0x00 : 0x01);
    std::size_t written = 0;
    while (written < text.size()) {
      std::size_t room = (RecordStream::kMaxRecordData - stream.RecordDataSize()) / charSize;
      if (room == 0) {
        stream.End();
        stream.Begin(kContinue);
        stream.U8(compressed ? 0x00 : 0x01);
        room = (RecordStream::kMaxRecordData - 1) / charSize;
      }
      const std::size_t count = std::min(room, text.size() - written);
      for (std::size_t k = written; k < written + count; ++k) {
        if (compressed) {
          stream.U8(static_cast<std::uint8_t>(text[k]));
        } else {
          stream.U16(text[k]);
        }
      }
      written += count;
    }
  }
  stream.End();

  stream.Begin(kExtSst);
  stream.U16(static_cast<std::uint16_t>(bucketSize));
  for (const BucketStart& bucket : buckets) {
    stream.U32(bucket.streamOffset);
    stream.U16(bucket.recordOffset);
    stream.U16(0);
  }
  stream.End();
}

}  // namespace spreadsheet::xls
