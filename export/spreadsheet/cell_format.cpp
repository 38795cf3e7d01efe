#include "export/spreadsheet/cell_format.h"

#include <map>
#include <string>

#include "export/spreadsheet/spreadsheet_error.h"

namespace spreadsheet {
namespace {

[[noreturn]] void RejectConstant(const char* property, int constant) {
  throw SpreadsheetError(std::string("Недопустимое значение ") + std::to_string(constant) + " свойства " + property);
}

}  // namespace

HorizontalAlignment HorizontalAlignmentFromConstant(int constant) {
  switch (constant) {
    case xl::kGeneral: return HorizontalAlignment::General;
    case xl::kLeft: return HorizontalAlignment::Left;
    case xl::kCenter: return HorizontalAlignment::Center;
    case xl::kRight: return HorizontalAlignment::Right;
    case xl::kFill: return HorizontalAlignment::Fill;
    case xl::kJustify: return HorizontalAlignment::Justify;
    case xl::kCenterAcrossSelection: return HorizontalAlignment::CenterAcrossSelection;
    case xl::kDistributed: return HorizontalAlignment::Distributed;
    default: RejectConstant("HorizontalAlignment", constant);
  }
}

VerticalAlignment VerticalAlignmentFromConstant(int constant) {
  switch (constant) {
    case xl::kTop: return VerticalAlignment::Top;
    case xl::kCenter: return VerticalAlignment::Center;
    case xl::kBottom: return VerticalAlignment::Bottom;
    case xl::kJustify: return VerticalAlignment::Justify;
    case xl::kDistributed: return VerticalAlignment::Distributed;
    default: RejectConstant("VerticalAlignment", constant);
  }
}

BorderLine BorderLineFromLineStyle(int lineStyle) {
  switch (lineStyle) {
    case xl::kContinuous: return BorderLine::Thin;
    case xl::kDash: return BorderLine::Dashed;
    case xl::kDot: return BorderLine::Dotted;
    case xl::kDouble: return BorderLine::Double;
    case xl::kDashDot: return BorderLine::DashDot;
    case xl::kDashDotDot: return BorderLine::DashDotDot;
    case xl::kSlantDashDot: return BorderLine::SlantDashDot;
    case xl::kLineStyleNone: return BorderLine::None;
    default: RejectConstant("LineStyle", lineStyle);
  }
}

std::optional<std::uint16_t> BuiltInNumberFormatId(const std::string& numberFormat) {
  static const std::map<std::string, std::uint16_t> kBuiltIn = {
      {"General", 0},    {"0", 1},          {"0.00", 2},       {"#,##0", 3},      {"#,##0.00", 4},
      {"0%", 9},         {"0.00%", 10},     {"0.00E+00", 11},  {"# ?/?", 12},     {"# ?" "?/??", 13},
      {"mm:ss", 45},     {"[h]:mm:ss", 46}, {"mm:ss.0", 47},   {"##0.0E+0", 48},  {"@", 49},
  };
  const auto it = kBuiltIn.find(numberFormat);
  if (it == kBuiltIn.end()) return std::nullopt;
  return it->second;
}

}  // namespace spreadsheet
