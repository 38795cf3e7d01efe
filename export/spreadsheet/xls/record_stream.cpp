#include "export/spreadsheet/xls/record_stream.h"

#include <algorithm>
#include <bit>
#include <stdexcept>

namespace spreadsheet::xls {

void RecordStream::Begin(std::uint16_t type) {
  if (open_) throw std::logic_error("record opened inside another record");
  open_ = true;
  recordStart_ = bytes_.size();
  U16(type);
  U16(0);
}

void RecordStream::End() {
  if (!open_) throw std::logic_error("record closed twice");
  open_ = false;
  const std::size_t size = RecordDataSize();
  if (size > kMaxRecordData) throw std::logic_error("record longer than 8224 bytes");
  bytes_[recordStart_ + 2] = static_cast<std::uint8_t>(size);
  bytes_[recordStart_ + 3] = static_cast<std::uint8_t>(size >> 8);
}

void RecordStream::U16(std::uint16_t value) {
  bytes_.push_back(static_cast<std::uint8_t>(value));
  bytes_.push_back(static_cast<std::uint8_t>(value >> 8));
}

void RecordStream::U32(std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) bytes_.push_back(static_cast<std::uint8_t>(value >> shift));
}

void RecordStream::F64(double value) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  for (int shift = 0; shift < 64; shift += 8) bytes_.push_back(static_cast<std::uint8_t>(bits >> shift));
}

void RecordStream::Bytes(const void* data, std::size_t size) {
  const auto* begin = static_cast<const std::uint8_t*>(data);
  bytes_.insert(bytes_.end(), begin, begin + size);
}

void RecordStream::Empty(std::uint16_t type) {
  Begin(type);
  End();
}

void RecordStream::U16Record(std::uint16_t type, std::uint16_t value) {
  Begin(type);
  U16(value);
  End();
}

void RecordStream::ShortUnicodeString(const std::u16string& text) {
  U8(static_cast<std::uint8_t>(text.size()));
  U8(0x01);
  for (char16_t c : text) U16(c);
}

void RecordStream::UnicodeString(const std::u16string& text) {
  U16(static_cast<std::uint16_t>(text.size()));
  if (FitsInOneByte(text)) {
    U8(0x00);
    for (char16_t c : text) U8(static_cast<std::uint8_t>(c));
  } else {
    U8(0x01);
    for (char16_t c : text) U16(c);
  }
}

void RecordStream::PatchU32(std::size_t offset, std::uint32_t value) {
  for (int k = 0; k < 4; ++k) bytes_.at(offset + k) = static_cast<std::uint8_t>(value >> (8 * k));
}

bool FitsInOneByte(const std::u16string& text) {
  return std::all_of(text.begin(), text.end(), [](char16_t c) { return c <= 0xFF; });
}

}  // namespace spreadsheet::xls
