// The byte stream of an Excel 97-2003 workbook: a sequence of records, each a
// type, a length and at most 8224 bytes of little-endian data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace spreadsheet::xls {

class RecordStream {
 public:
  static constexpr std::size_t kMaxRecordData = 8224;

  // Opens a record of the given type; End() closes it and fills in its length.
  // Records do not nest.
  void Begin(std::uint16_t type);
  void End();

  void U8(std::uint8_t value) { bytes_.push_back(value); }
  void U16(std::uint16_t value);
  void U32(std::uint32_t value);
  void F64(double value);
  void Bytes(const void* data, std::size_t size);
  void Zeros(std::size_t count) { bytes_.insert(bytes_.end(), count, 0); }

  // Whole records of the common small shapes.
  void Empty(std::uint16_t type);
  void U16Record(std::uint16_t type, std::uint16_t value);

  // A ShortXLUnicodeString (8-bit count, flags, UTF-16 characters), as fonts
  // and sheet names are stored.
  void ShortUnicodeString(const std::u16string& text);
  // An XLUnicodeString (16-bit count, flags, characters), stored in one byte
  // per character when every character is below U+0100.
  void UnicodeString(const std::u16string& text);

  std::size_t Size() const { return bytes_.size(); }
  // Bytes written into the open record so far, and where its header starts.
  std::size_t RecordDataSize() const { return bytes_.size() - recordStart_ - 4; }
  std::size_t RecordStart() const { return recordStart_; }

  void PatchU32(std::size_t offset, std::uint32_t value);
  const std::vector<std::uint8_t>& Data() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
  std::size_t recordStart_ = 0;
  bool open_ = false;
};

// True when every unit fits in one byte (U+0000..U+00FF), so that the text can
// be stored compressed.
bool FitsInOneByte(const std::u16string& text);

}  // namespace spreadsheet::xls
