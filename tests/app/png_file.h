// Pictures of the window for a person to look at: a kit image written as
// a PNG file (8-bit RGB, the image data stored without compression, so
// that no library is needed on either platform).
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "app/kit/image.h"
#include "tests/support/test_folder.h"

namespace png_detail {

inline std::uint32_t Crc32(const std::vector<std::uint8_t>& bytes, std::size_t from) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = from; i < bytes.size(); ++i) crc = table[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

inline void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

inline void Chunk(std::vector<std::uint8_t>& out, const char* type, const std::vector<std::uint8_t>& data) {
  Put32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  Put32(out, Crc32(out, start));
}

}  // namespace png_detail

// Writes `image` to the UTF-8 `path`; false when the file cannot be written.
inline bool WritePng(const kit::Image& image, const std::string& path) {
  using namespace png_detail;
  std::vector<std::uint8_t> raw;
  for (int y = 0; y < image.Height(); ++y) {
    raw.push_back(0);  // no filter
    for (int x = 0; x < image.Width(); ++x) {
      const TColor c = image.Pixel(x, y);
      raw.insert(raw.end(), {RedOf(c), GreenOf(c), BlueOf(c)});
    }
  }
  // A zlib stream of stored blocks, at most 65535 bytes each.
  std::vector<std::uint8_t> zlib{0x78, 0x01};
  std::size_t at = 0;
  do {
    const std::size_t length = std::min<std::size_t>(65535, raw.size() - at);
    zlib.push_back(at + length == raw.size() ? 1 : 0);  // the last block
    zlib.insert(zlib.end(), {static_cast<std::uint8_t>(length), static_cast<std::uint8_t>(length >> 8),
                             static_cast<std::uint8_t>(~length), static_cast<std::uint8_t>(~length >> 8)});
    zlib.insert(zlib.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                raw.begin() + static_cast<std::ptrdiff_t>(at + length));
    at += length;
  } while (at < raw.size());
  std::uint32_t a = 1, b = 0;
  for (std::uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  Put32(zlib, b << 16 | a);

  std::vector<std::uint8_t> header;
  Put32(header, static_cast<std::uint32_t>(image.Width()));
  Put32(header, static_cast<std::uint32_t>(image.Height()));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, no interlace
  std::vector<std::uint8_t> file{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Chunk(file, "IHDR", header);
  Chunk(file, "IDAT", zlib);
  Chunk(file, "IEND", {});
  std::ofstream out(spreadsheet::testing::PathOf(path), std::ios::binary);
  out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  return static_cast<bool>(out);
}
