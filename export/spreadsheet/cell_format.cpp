#include "export/spreadsheet/cell_format.h"

#include <map>
#include <string>

#include "export/spreadsheet/spreadsheet_error.h"

namespace spreadsheet {
namespace {

[[noreturn]] void RejectConstant(const char* property, int constant) {
  throw SpreadsheetError(std::string("Недопустимое значение ") + std::to_string(constant) + " свойства " + property);
}

// One table per property: the object model's constants and what they set.
template <typename Value>
struct ConstantOf {
  int constant;
  Value value;
};

constexpr ConstantOf<HorizontalAlignment> kHorizontalConstants[] = {
    {xl::kGeneral, HorizontalAlignment::General},
    {xl::kLeft, HorizontalAlignment::Left},
    {xl::kCenter, HorizontalAlignment::Center},
    {xl::kRight, HorizontalAlignment::Right},
    {xl::kFill, HorizontalAlignment::Fill},
    {xl::kJustify, HorizontalAlignment::Justify},
    {xl::kCenterAcrossSelection, HorizontalAlignment::CenterAcrossSelection},
    {xl::kDistributed, HorizontalAlignment::Distributed},
};

constexpr ConstantOf<VerticalAlignment> kVerticalConstants[] = {
    {xl::kBottom, VerticalAlignment::Bottom},           {xl::kTop, VerticalAlignment::Top},
    {xl::kCenter, VerticalAlignment::Center},           {xl::kJustify, VerticalAlignment::Justify},
    {xl::kDistributed, VerticalAlignment::Distributed},
};

constexpr ConstantOf<BorderLine> kLineStyleConstants[] = {
    {xl::kLineStyleNone, BorderLine::None},    {xl::kContinuous, BorderLine::Thin},
    {xl::kDash, BorderLine::Dashed},           {xl::kDot, BorderLine::Dotted},
    {xl::kDouble, BorderLine::Double},         {xl::kDashDot, BorderLine::DashDot},
    {xl::kDashDotDot, BorderLine::DashDotDot}, {xl::kSlantDashDot, BorderLine::SlantDashDot},
};

template <typename Value, std::size_t N>
Value FromConstant(const ConstantOf<Value> (&table)[N], const char* property, int constant) {
  for (const auto& entry : table) {
    if (entry.constant == constant) return entry.value;
  }
  RejectConstant(property, constant);
}

}  // namespace

HorizontalAlignment HorizontalAlignmentFromConstant(int constant) {
  return FromConstant(kHorizontalConstants, "HorizontalAlignment", constant);
}

VerticalAlignment VerticalAlignmentFromConstant(int constant) {
  return FromConstant(kVerticalConstants, "VerticalAlignment", constant);
}

BorderLine BorderLineFromLineStyle(int lineStyle) { return FromConstant(kLineStyleConstants, "LineStyle", lineStyle); }

std::optional<std::uint16_t> BuiltInNumberFormatId(const std::string& numberFormat) {
  static const std::map<std::string, std::uint16_t> kBuiltIn = {
      {"General", 0},
      {"0", 1},
      {"0.00", 2},
      {"#,##0", 3},
      {"#,##0.00", 4},
      {"0%", 9},
      {"0.00%", 10},
      {"0.00E+00", 11},
      {"# ?/?", 12},
      {"# ?"
       "?/??",
       13},
      {"mm:ss", 45},
      {"[h]:mm:ss", 46},
      {"mm:ss.0", 47},
      {"##0.0E+0", 48},
      {"@", 49},
  };
  const auto it = kBuiltIn.find(numberFormat);
  if (it == kBuiltIn.end()) return std::nullopt;
  return it->second;
}

}  // namespace spreadsheet
