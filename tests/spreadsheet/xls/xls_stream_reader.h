// Reads an .xls file back for the structure tests: the "Workbook" stream
// taken out of the compound file with libgsf's reader, cut into records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace spreadsheet::testing {

struct Record {
  std::uint16_t type;
  std::size_t offset;  // of the record header in the stream
  std::vector<std::uint8_t> data;

  std::uint16_t U16(std::size_t at) const { return static_cast<std::uint16_t>(data.at(at) | data.at(at + 1) << 8); }
  std::uint32_t U32(std::size_t at) const { return U16(at) | static_cast<std::uint32_t>(U16(at + 2)) << 16; }
};

// The Workbook stream of a compound file; fails the current test and returns
// nothing when there is none.
std::vector<std::uint8_t> WorkbookStream(const std::vector<std::uint8_t>& file);

std::vector<Record> SplitRecords(const std::vector<std::uint8_t>& stream);

// The texts of the SST record and its CONTINUE records, decoded as a reader
// must decode them, with the stream offset at which each text starts.
struct SharedText {
  std::u16string text;
  std::size_t offset;
};
std::vector<SharedText> DecodeSst(const std::vector<Record>& records);

}  // namespace spreadsheet::testing
