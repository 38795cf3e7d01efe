// How one cell looks: font, fill, alignment, number format, borders, wrapping.
//
// Values that the automation object model passes as its own constants
// (alignments, line styles) are converted here, so that the model and both
// file writers share one meaning of them. Colours stay in the object model's
// form, red + 256 * green + 65536 * blue.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>

namespace spreadsheet {

// The object model's constants that this spreadsheet understands.
namespace xl {
inline constexpr int kGeneral = 1;
inline constexpr int kLeft = -4131;
inline constexpr int kCenter = -4108;
inline constexpr int kRight = -4152;
inline constexpr int kFill = 5;
inline constexpr int kJustify = -4130;
inline constexpr int kCenterAcrossSelection = 7;
inline constexpr int kDistributed = -4117;
inline constexpr int kTop = -4160;
inline constexpr int kBottom = -4107;

inline constexpr int kContinuous = 1;
inline constexpr int kDash = -4115;
inline constexpr int kDashDot = 4;
inline constexpr int kDashDotDot = 5;
inline constexpr int kDot = -4118;
inline constexpr int kDouble = -4119;
inline constexpr int kSlantDashDot = 13;
inline constexpr int kLineStyleNone = -4142;

inline constexpr int kPortrait = 1;
inline constexpr int kLandscape = 2;
}  // namespace xl

enum class HorizontalAlignment : std::uint8_t {
  General,
  Left,
  Center,
  Right,
  Fill,
  Justify,
  CenterAcrossSelection,
  Distributed,
};

enum class VerticalAlignment : std::uint8_t { Top, Center, Bottom, Justify, Distributed };

// Border lines, numbered as both file formats number them.
enum class BorderLine : std::uint8_t {
  None = 0,
  Thin = 1,
  Dashed = 3,
  Dotted = 4,
  Double = 6,
  DashDot = 9,
  DashDotDot = 11,
  SlantDashDot = 13,
};

// Each raises SpreadsheetError for a constant the object model does not define
// for that property.
HorizontalAlignment HorizontalAlignmentFromConstant(int constant);
VerticalAlignment VerticalAlignmentFromConstant(int constant);
BorderLine BorderLineFromLineStyle(int lineStyle);  // at the default (thin) weight

// The identifier both file formats give a built-in number format ("@" is 49,
// "General" 0), or nothing for a format the file must define itself.
std::optional<std::uint16_t> BuiltInNumberFormatId(const std::string& numberFormat);

inline constexpr const char* kDefaultFontName = "Arial";
inline constexpr double kDefaultFontSize = 10;
inline constexpr const char* kGeneralNumberFormat = "General";
inline constexpr const char* kTextNumberFormat = "@";

struct CellFormat {
  std::string fontName = kDefaultFontName;
  double fontSize = kDefaultFontSize;  // points
  bool bold = false;
  std::optional<std::int32_t> fillColor;  // red + 256 * green + 65536 * blue; none = no fill
  HorizontalAlignment horizontal = HorizontalAlignment::General;
  VerticalAlignment vertical = VerticalAlignment::Bottom;
  std::string numberFormat = kGeneralNumberFormat;
  BorderLine border = BorderLine::None;  // the same line on all four edges
  bool wrapText = false;

  bool IsDefault() const { return *this == CellFormat{}; }
  auto operator<=>(const CellFormat&) const = default;
};

}  // namespace spreadsheet
