// The formatting tables of an Excel 97-2003 workbook, gathered from the cell
// formats the workbook uses: fonts, number formats, the colour palette and the
// extended formats (XF) that cells point at.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "export/spreadsheet/cell_format.h"
#include "export/spreadsheet/workbook.h"
#include "export/spreadsheet/xls/record_stream.h"

namespace spreadsheet::xls {

struct Font {
  std::u16string name;
  std::uint16_t height = 200;  // twips (1/20 point)
  bool bold = false;
  auto operator<=>(const Font&) const = default;
};

struct NumberFormat {
  std::uint16_t id;
  std::u16string text;
};

inline constexpr std::uint16_t kDefaultCellXf = 15;
inline constexpr std::uint16_t kFirstCustomXf = 16;
inline constexpr std::uint16_t kFirstCustomFormatId = 164;
inline constexpr std::uint8_t kAutomaticColor = 0x40;  // window text, for border lines

class StyleTable {
 public:
  // Raises SpreadsheetError when the workbook uses more formats than the file
  // format can hold.
  explicit StyleTable(const Workbook& workbook);

  // FONT records in order. The first four are the default font; a record at
  // position n >= 4 has font index n + 1, since index 4 does not exist.
  const std::vector<Font>& Fonts() const { return fonts_; }
  // FORMAT records: the number formats that are not built in.
  const std::vector<NumberFormat>& CustomFormats() const { return customFormats_; }
  // The 56 palette colours (indices 8..63) as red + 256 * green + 65536 * blue,
  // and whether they differ from the default palette (then a PALETTE record is due).
  const std::array<std::uint32_t, 56>& Palette() const { return palette_; }
  bool PaletteChanged() const { return paletteChanged_; }
  // The custom cell formats, XF 16 onwards.
  const std::vector<CellFormat>& CustomXfs() const { return customXfs_; }

  // The XF a cell with this format points at: 15 for the default format.
  std::uint16_t XfIndex(const CellFormat& format) const;

  // The 20 bytes of an XF record for a cell format.
  std::array<std::uint8_t, 20> EncodeCellXf(const CellFormat& format) const;

  // Writes the FONT, FORMAT, XF and STYLE records, and PALETTE when the
  // palette changed.
  void Write(RecordStream& stream) const;

 private:
  std::uint16_t FontIndex(const CellFormat& format) const;
  std::uint16_t FormatId(const std::string& numberFormat) const;
  std::uint8_t ColorIndex(std::int32_t color) const;
  void AssignColors(const std::vector<std::int32_t>& colors);

  std::vector<Font> fonts_;
  std::map<Font, std::uint16_t> fontIndex_;
  std::vector<NumberFormat> customFormats_;
  std::map<std::string, std::uint16_t> formatIds_;
  std::array<std::uint32_t, 56> palette_{};
  bool paletteChanged_ = false;
  std::map<std::int32_t, std::uint8_t> colorIndex_;
  std::vector<CellFormat> customXfs_;
  std::map<CellFormat, std::uint16_t> xfIndex_;
};

// Font describing a cell format's type face.
Font FontOf(const CellFormat& format);

}  // namespace spreadsheet::xls
