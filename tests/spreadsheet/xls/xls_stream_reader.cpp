#include "tests/spreadsheet/xls/xls_stream_reader.h"

#include <gsf/gsf.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

namespace spreadsheet::testing {

std::vector<std::uint8_t> WorkbookStream(const std::vector<std::uint8_t>& file) {
  static const bool initialised = (gsf_init(), true);
  (void)initialised;
  std::vector<std::uint8_t> stream;
  GsfInput* input = gsf_input_memory_new(file.data(), static_cast<gsf_off_t>(file.size()), FALSE);
  GError* error = nullptr;
  GsfInfile* storage = gsf_infile_msole_new(input, &error);
  if (!storage) {
    ADD_FAILURE() << "not a compound file: " << (error ? error->message : "?");
  } else {
    GsfInput* child = gsf_infile_child_by_name(storage, "Workbook");
    if (!child) {
      ADD_FAILURE() << "no Workbook stream";
    } else {
      stream.resize(static_cast<std::size_t>(gsf_input_size(child)));
      if (!stream.empty() && !gsf_input_read(child, stream.size(), stream.data())) ADD_FAILURE() << "short stream";
      g_object_unref(child);
    }
    g_object_unref(storage);
  }
  if (error) g_error_free(error);
  g_object_unref(input);
  return stream;
}

std::vector<Record> SplitRecords(const std::vector<std::uint8_t>& stream) {
  std::vector<Record> records;
  std::size_t pos = 0;
  while (pos + 4 <= stream.size()) {
    const std::uint16_t type = static_cast<std::uint16_t>(stream[pos] | stream[pos + 1] << 8);
    const std::size_t size = static_cast<std::size_t>(stream[pos + 2] | stream[pos + 3] << 8);
    if (pos + 4 + size > stream.size()) {
      ADD_FAILURE() << "record at " << pos << " runs past the stream";
      break;
    }
    records.push_back({type, pos, {stream.begin() + pos + 4, stream.begin() + pos + 4 + size}});
    pos += 4 + size;
  }
  EXPECT_EQ(pos, stream.size()) << "bytes after the last record";
  return records;
}

std::vector<SharedText> DecodeSst(const std::vector<Record>& records) {
  std::vector<SharedText> texts;
  auto it = std::find_if(records.begin(), records.end(), [](const Record& r) { return r.type == 0x00FC; });
  if (it == records.end()) return texts;
  const std::uint32_t unique = it->U32(4);
  std::size_t at = 8;
  const auto nextRecord = [&] {
    ++it;
    at = 0;
    if (it == records.end() || it->type != 0x003C) throw std::runtime_error("SST ends early");
  };
  for (std::uint32_t i = 0; i < unique; ++i) {
    if (at == it->data.size()) nextRecord();
    if (at + 3 > it->data.size()) throw std::runtime_error("text header split across records");
    SharedText shared{{}, it->offset + 4 + at};
    std::size_t count = it->U16(at);
    bool wide = it->data[at + 2] & 0x01;
    if (it->data[at + 2] & ~0x01) throw std::runtime_error("unexpected text flags");
    at += 3;
    if (count > 0 && at == it->data.size()) throw std::runtime_error("text header without its first character");
    while (count > 0) {
      if (at == it->data.size()) {
        nextRecord();
        wide = it->data.at(at++) & 0x01;  // a character array resumes with a flags byte
      }
      const std::size_t charSize = wide ? 2 : 1;
      if (at + charSize > it->data.size()) throw std::runtime_error("character split across records");
      shared.text.push_back(wide ? it->U16(at) : it->data[at]);
      at += charSize;
      --count;
    }
    texts.push_back(std::move(shared));
  }
  return texts;
}

}  // namespace spreadsheet::testing
