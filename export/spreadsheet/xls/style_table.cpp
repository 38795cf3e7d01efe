#include "export/spreadsheet/xls/style_table.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <set>

#include "base/utf.h"
#include "export/spreadsheet/spreadsheet_error.h"
#include "export/spreadsheet/xls/record_types.h"

namespace spreadsheet::xls {
namespace {

// The default colours of palette indices 8..63, written as 0xRRGGBB.
constexpr std::array<std::uint32_t, 56> kDefaultPaletteRgb = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,  // 8..15
    0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080,  // 16..23
    0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF,  // 24..31
    0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF,  // 32..39
    0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,  // 40..47
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696,  // 48..55
    0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333,  // 56..63
};

constexpr std::uint8_t kFirstPaletteIndex = 8;
constexpr std::size_t kMaxCustomXfs = 4000 - kFirstCustomXf;
constexpr std::size_t kMaxFonts = 500;

// 0xRRGGBB to the object model's red + 256 * green + 65536 * blue, which is
// also the byte order of a palette entry.
constexpr std::uint32_t FromRgb(std::uint32_t rgb) {
  return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

std::array<std::uint32_t, 56> DefaultPalette() {
  std::array<std::uint32_t, 56> palette{};
  for (std::size_t k = 0; k < palette.size(); ++k) palette[k] = FromRgb(kDefaultPaletteRgb[k]);
  return palette;
}

const Font& DefaultFont() {
  static const Font font = FontOf(CellFormat{});
  return font;
}

std::uint8_t HorizontalCode(HorizontalAlignment alignment) {
  switch (alignment) {
    case HorizontalAlignment::General: return 0;
    case HorizontalAlignment::Left: return 1;
    case HorizontalAlignment::Center: return 2;
    case HorizontalAlignment::Right: return 3;
    case HorizontalAlignment::Fill: return 4;
    case HorizontalAlignment::Justify: return 5;
    case HorizontalAlignment::CenterAcrossSelection: return 6;
    case HorizontalAlignment::Distributed: return 7;
  }
  return 0;
}

std::uint8_t VerticalCode(VerticalAlignment alignment) {
  switch (alignment) {
    case VerticalAlignment::Top: return 0;
    case VerticalAlignment::Center: return 1;
    case VerticalAlignment::Bottom: return 2;
    case VerticalAlignment::Justify: return 3;
    case VerticalAlignment::Distributed: return 4;
  }
  return 2;
}

int ColorDistance(std::uint32_t a, std::uint32_t b) {
  int sum = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    sum += d * d;
  }
  return sum;
}

void WriteFont(RecordStream& stream, const Font& font) {
  stream.Begin(record::kFont);
  stream.U16(font.height);
  stream.U16(font.bold ? 0x0001 : 0x0000);
  stream.U16(0x7FFF);                 // automatic colour
  stream.U16(font.bold ? 700 : 400);  // weight
  stream.U16(0);                      // no super- or subscript
  stream.U8(0);                       // no underline
  stream.U8(0);                       // family unknown
  stream.U8(1);                       // default character set
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

}  // namespace

Font FontOf(const CellFormat& format) {
  return Font{base::Utf8ToUtf16Strict(format.fontName).value_or(u"Arial"),
              static_cast<std::uint16_t>(std::lround(format.fontSize * 20)), format.bold};
}

StyleTable::StyleTable(const Workbook& workbook) : palette_(DefaultPalette()) {
  fonts_.assign(4, DefaultFont());
  fontIndex_[DefaultFont()] = 0;

  std::set<std::int32_t> colors;
  for (std::size_t s = 0; s < workbook.WorksheetCount(); ++s) {
    for (const auto& [key, cell] : workbook.WorksheetAt(s).Cells()) {
      const CellFormat& format = cell.format;
      if (format.IsDefault() || xfIndex_.count(format)) continue;
      if (customXfs_.size() >= kMaxCustomXfs) {
        throw SpreadsheetError("В книге слишком много разных форматов ячеек для файла Excel 97-2003");
      }
      xfIndex_.emplace(format, static_cast<std::uint16_t>(kFirstCustomXf + customXfs_.size()));
      customXfs_.push_back(format);

      const Font font = FontOf(format);
      if (!fontIndex_.count(font)) {
        if (fonts_.size() >= kMaxFonts) throw SpreadsheetError("В книге слишком много разных шрифтов");
        fontIndex_.emplace(font, static_cast<std::uint16_t>(fonts_.size() + 1));  // index 4 is skipped
        fonts_.push_back(font);
      }
      if (!BuiltInNumberFormatId(format.numberFormat) && !formatIds_.count(format.numberFormat)) {
        const auto id = static_cast<std::uint16_t>(kFirstCustomFormatId + customFormats_.size());
        formatIds_.emplace(format.numberFormat, id);
        customFormats_.push_back({id, base::Utf8ToUtf16Strict(format.numberFormat).value_or(u"General")});
      }
      if (format.fillColor) colors.insert(*format.fillColor);
    }
  }
  AssignColors({colors.begin(), colors.end()});
}

// Colours of the default palette keep their index. Every other colour takes
// a slot of its own, from the end of the palette backwards, among the slots
// no used colour needs; the palette then holds each colour exactly. Past 56
// colours the rest take the nearest colour the palette has.
void StyleTable::AssignColors(const std::vector<std::int32_t>& colors) {
  std::array<bool, 56> reserved{};
  std::vector<std::int32_t> missing;
  for (std::int32_t color : colors) {
    bool found = false;
    for (std::size_t k = 0; k < palette_.size() && !found; ++k) {
      if (palette_[k] == static_cast<std::uint32_t>(color)) {
        colorIndex_[color] = static_cast<std::uint8_t>(kFirstPaletteIndex + k);
        reserved[k] = true;
        found = true;
      }
    }
    if (!found) missing.push_back(color);
  }
  std::size_t slot = palette_.size();
  for (std::int32_t color : missing) {
    while (slot > 0 && reserved[slot - 1]) --slot;
    if (slot > 0) {
      --slot;
      palette_[slot] = static_cast<std::uint32_t>(color);
      reserved[slot] = true;
      paletteChanged_ = true;
      colorIndex_[color] = static_cast<std::uint8_t>(kFirstPaletteIndex + slot);
      continue;
    }
    std::size_t best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (std::size_t k = 0; k < palette_.size(); ++k) {
      const int distance = ColorDistance(palette_[k], static_cast<std::uint32_t>(color));
      if (distance < bestDistance) bestDistance = distance, best = k;
    }
    colorIndex_[color] = static_cast<std::uint8_t>(kFirstPaletteIndex + best);
  }
}

std::uint16_t StyleTable::XfIndex(const CellFormat& format) const {
  const auto it = xfIndex_.find(format);
  return it == xfIndex_.end() ? kDefaultCellXf : it->second;
}

std::uint16_t StyleTable::FontIndex(const CellFormat& format) const { return fontIndex_.at(FontOf(format)); }

std::uint16_t StyleTable::FormatId(const std::string& numberFormat) const {
  if (const auto id = BuiltInNumberFormatId(numberFormat)) return *id;
  return formatIds_.at(numberFormat);
}

std::uint8_t StyleTable::ColorIndex(std::int32_t color) const { return colorIndex_.at(color); }

std::array<std::uint8_t, 20> StyleTable::EncodeCellXf(const CellFormat& format) const {
  std::array<std::uint8_t, 20> xf{};
  const auto put16 = [&](std::size_t at, std::uint32_t value) {
    xf[at] = static_cast<std::uint8_t>(value);
    xf[at + 1] = static_cast<std::uint8_t>(value >> 8);
  };
  const auto put32 = [&](std::size_t at, std::uint32_t value) {
    put16(at, value & 0xFFFF);
    put16(at + 2, value >> 16);
  };
  put16(0, FontIndex(format));
  put16(2, FormatId(format.numberFormat));
  put16(4, 0x0001);  // locked, a cell XF whose parent is style XF 0
  xf[6] = static_cast<std::uint8_t>(HorizontalCode(format.horizontal) | (format.wrapText ? 0x08 : 0) |
                                    (VerticalCode(format.vertical) << 4));
  xf[9] = 0xFC;  // every attribute group is defined by this XF, none inherited
  const std::uint32_t line = static_cast<std::uint32_t>(format.border);
  const std::uint32_t lineColor = line ? kAutomaticColor : 0;  // a drawn line needs a colour
  put32(10, line | (line << 4) | (line << 8) | (line << 12) | (lineColor << 16) | (lineColor << 23));
  std::uint32_t fillPattern = 0;
  std::uint32_t foreground = kAutomaticColor;
  if (format.fillColor) {
    fillPattern = 1;  // solid: only the foreground colour shows
    foreground = ColorIndex(*format.fillColor);
  }
  put32(14, lineColor | (lineColor << 7) | (fillPattern << 26));
  put16(18, foreground | (0x41u << 7));
  return xf;
}

void StyleTable::Write(RecordStream& stream) const {
  for (const Font& font : fonts_) WriteFont(stream, font);
  for (const NumberFormat& format : customFormats_) {
    stream.Begin(record::kFormat);
    stream.U16(format.id);
    stream.UnicodeString(format.text);
    stream.End();
  }
  WriteBuiltInXfs(stream);
  for (const CellFormat& format : customXfs_) {
    const auto xf = EncodeCellXf(format);
    stream.Begin(record::kXf);
    stream.Bytes(xf.data(), xf.size());
    stream.End();
  }
  stream.Begin(record::kStyle);
  stream.U16(0x8000);  // built-in style on XF 0
  stream.U8(0x00);     // "Normal"
  stream.U8(0xFF);     // no outline level
  stream.End();
  if (paletteChanged_) {
    stream.Begin(record::kPalette);
    stream.U16(static_cast<std::uint16_t>(palette_.size()));
    for (std::uint32_t color : palette_) stream.U32(color);  // red, green, blue, 0
    stream.End();
  }
}

}  // namespace spreadsheet::xls
