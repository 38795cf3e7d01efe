#include "export/sheetapp/range_objects.h"

#include <cmath>
#include <string>

#include "export/spreadsheet/cell_format.h"

namespace sheetapp {
namespace {

namespace ss = spreadsheet;

enum : DISPID {
  kValue = DISPID_VALUE,  // a range's default member
  kBorders = 1,
  kCharacters,
  kFont,
  kInterior,
  kMerge,
  kColumnWidth,
  kRowHeight,
  kHorizontalAlignment,
  kVerticalAlignment,
  kNumberFormat,
  kLineStyle,
  kName,
  kSize,
  kColor,
};

constexpr Member kRangeMembers[] = {
    {"Borders", kBorders, MemberKind::ReadOnly},
    {"Characters", kCharacters, MemberKind::ReadOnly},
    {"Font", kFont, MemberKind::ReadOnly},
    {"Interior", kInterior, MemberKind::ReadOnly},
    {"Merge", kMerge, MemberKind::Method},
    {"ColumnWidth", kColumnWidth, MemberKind::Property},
    {"RowHeight", kRowHeight, MemberKind::Property},
    {"HorizontalAlignment", kHorizontalAlignment, MemberKind::Property},
    {"VerticalAlignment", kVerticalAlignment, MemberKind::Property},
    {"NumberFormat", kNumberFormat, MemberKind::Property},
    {"Value", kValue, MemberKind::Property},
};
constexpr Member kBordersMembers[] = {{"LineStyle", kLineStyle, MemberKind::Property}};
constexpr Member kCharactersMembers[] = {{"Font", kFont, MemberKind::ReadOnly}};
constexpr Member kFontMembers[] = {
    {"Name", kName, MemberKind::Property},
    {"Size", kSize, MemberKind::Property},
};
constexpr Member kInteriorMembers[] = {{"Color", kColor, MemberKind::Property}};

// The colour a cell without a fill reports: white.
constexpr std::int32_t kNoFillColor = 0xFFFFFF;

// The workbook model keeps every formatted or filled cell on its own, so a
// value or format given to the whole sheet (16 million cells) would take
// gigabytes. Sixteen whole columns' worth is far beyond any real table.
constexpr long long kMaxCellsChanged = 16LL * ss::kMaxRows;

// `range`, once it is known to be small enough to change cell by cell.
const ss::CellRange& Changeable(const ss::CellRange& range) {
  if (static_cast<long long>(range.RowCount()) * range.ColumnCount() > kMaxCellsChanged) {
    throw ApplicationError("Диапазон " + ss::FormatRange(range) + " слишком велик, чтобы менять его ячейки");
  }
  return range;
}

ss::CellFormat TopLeftFormat(const RangeObject& range) {
  return range.sheet().Format(range.range().firstRow, range.range().firstColumn);
}

void AnswerValue(const ss::CellValue& value, Answer& answer) {
  if (const auto* number = std::get_if<double>(&value)) {
    answer.Number(*number);
  } else if (const auto* text = std::get_if<std::string>(&value)) {
    answer.Text(*text);
  }
}

}  // namespace

void WriteRangeValue(ss::Worksheet& sheet, const ss::CellRange& given, const Request& request) {
  VARIANT const value = request.ValueRaw();
  const ss::CellRange& range = Changeable(given);
  switch (value.vt) {
    case VT_EMPTY:
    case VT_NULL: sheet.SetValue(range, ss::CellValue{}); return;
    case VT_BSTR: sheet.SetValue(range, request.ValueText()); return;
    // A cell holds a number or a text; there is no Boolean, error or
    // object value to give it.
    case VT_BOOL:
    case VT_ERROR:
    case VT_DISPATCH:
    case VT_UNKNOWN: throw Fault{DISP_E_TYPEMISMATCH, static_cast<int>(request.Count())};
    default: sheet.SetValue(range, request.ValueNumber()); return;
  }
}

RangeObject::RangeObject(ComRef<WorksheetObject> sheet, spreadsheet::CellRange range)
    : DispatchObject(sheet->sharedInstance(), kRangeMembers), sheet_(std::move(sheet)), range_(range) {}

void RangeObject::Perform(const Member& member, const Request& request, Answer& answer) {
  ComRef<RangeObject> const self = ComRef<RangeObject>::Share(this);
  ss::Worksheet& cells = sheet();
  bool const put = request.IsPut();
  switch (member.id) {
    case kBorders:
      request.ExpectCount(0, 1);
      if (!request.Omitted(0)) throw ApplicationError("Поддерживаются только все края ячеек сразу");
      answer.Object(MakeObject<BordersObject>(self));
      return;
    case kCharacters:
      request.ExpectCount(0, 2);
      if (!request.Omitted(0) || !request.Omitted(1)) {
        throw ApplicationError("Поддерживается оформление только всего текста ячейки");
      }
      answer.Object(MakeObject<CharactersObject>(self));
      return;
    case kFont:
      request.ExpectCount(0, 0);
      answer.Object(MakeObject<FontObject>(self, self));
      return;
    case kInterior:
      request.ExpectCount(0, 0);
      answer.Object(MakeObject<InteriorObject>(self));
      return;
    case kMerge:
      request.ExpectCount(0, 1);
      cells.Merge(Changeable(range_), !request.Omitted(0) && request.Boolean(0));
      return;
    case kColumnWidth:
      if (put) {
        cells.SetColumnWidth(range_, request.ValueNumber());
      } else {
        answer.Number(cells.ColumnWidth(range_.firstColumn));
      }
      return;
    case kRowHeight:
      if (put) {
        cells.SetRowHeight(range_, request.ValueNumber());
      } else {
        answer.Number(cells.RowHeight(range_.firstRow));
      }
      return;
    case kHorizontalAlignment:
      if (put) {
        cells.SetHorizontalAlignment(Changeable(range_), request.ValueInt32());
      } else {
        answer.Int32(ss::HorizontalAlignmentConstant(TopLeftFormat(*this).horizontal));
      }
      return;
    case kVerticalAlignment:
      if (put) {
        cells.SetVerticalAlignment(Changeable(range_), request.ValueInt32());
      } else {
        answer.Int32(ss::VerticalAlignmentConstant(TopLeftFormat(*this).vertical));
      }
      return;
    case kNumberFormat:
      if (put) {
        cells.SetNumberFormat(Changeable(range_), request.ValueText());
      } else {
        answer.Text(TopLeftFormat(*this).numberFormat);
      }
      return;
    case kValue:
      if (put) {
        WriteRangeValue(cells, range_, request);
      } else if (range_.RowCount() != 1 || range_.ColumnCount() != 1) {
        throw ApplicationError("Значение можно прочесть только у одной ячейки");
      } else {
        AnswerValue(cells.Value(range_.firstRow, range_.firstColumn), answer);
      }
      return;
    default: throw Fault{DISP_E_MEMBERNOTFOUND};
  }
}

BordersObject::BordersObject(ComRef<RangeObject> range)
    : DispatchObject(range->sharedInstance(), kBordersMembers), range_(std::move(range)) {}

void BordersObject::Perform(const Member& member, const Request& request, Answer& answer) {
  if (member.id != kLineStyle) throw Fault{DISP_E_MEMBERNOTFOUND};
  if (request.IsPut()) {
    range_->sheet().SetBorderLineStyle(Changeable(range_->range()), request.ValueInt32());
  } else {
    answer.Int32(ss::LineStyleConstant(TopLeftFormat(*range_).border));
  }
}

CharactersObject::CharactersObject(ComRef<RangeObject> range)
    : DispatchObject(range->sharedInstance(), kCharactersMembers), range_(std::move(range)) {}

void CharactersObject::Perform(const Member& member, const Request& request, Answer& answer) {
  if (member.id != kFont) throw Fault{DISP_E_MEMBERNOTFOUND};
  request.ExpectCount(0, 0);
  answer.Object(MakeObject<FontObject>(ComRef<DispatchObject>::Share(this), range_));
}

FontObject::FontObject(ComRef<DispatchObject> parent, ComRef<RangeObject> range)
    : DispatchObject(range->sharedInstance(), kFontMembers), parent_(std::move(parent)), range_(std::move(range)) {}

void FontObject::Perform(const Member& member, const Request& request, Answer& answer) {
  ss::Worksheet& cells = range_->sheet();
  switch (member.id) {
    case kName:
      if (request.IsPut()) {
        cells.SetFontName(Changeable(range_->range()), request.ValueText());
      } else {
        answer.Text(TopLeftFormat(*range_).fontName);
      }
      return;
    case kSize:
      if (request.IsPut()) {
        cells.SetFontSize(Changeable(range_->range()), request.ValueNumber());
      } else {
        answer.Number(TopLeftFormat(*range_).fontSize);
      }
      return;
    default: throw Fault{DISP_E_MEMBERNOTFOUND};
  }
}

InteriorObject::InteriorObject(ComRef<RangeObject> range)
    : DispatchObject(range->sharedInstance(), kInteriorMembers), range_(std::move(range)) {}

void InteriorObject::Perform(const Member& member, const Request& request, Answer& answer) {
  if (member.id != kColor) throw Fault{DISP_E_MEMBERNOTFOUND};
  if (request.IsPut()) {
    double const color = request.ValueNumber();
    // The sheet refuses colours outside 0..0xFFFFFF and names the value; a
    // value no integer can hold is refused here.
    if (!(std::fabs(color) < 1e15)) throw ApplicationError("Недопустимое значение свойства Color");
    range_->sheet().SetFillColor(Changeable(range_->range()), static_cast<std::int64_t>(std::nearbyint(color)));
  } else {
    answer.Int32(TopLeftFormat(*range_).fillColor.value_or(kNoFillColor));
  }
}

}  // namespace sheetapp
