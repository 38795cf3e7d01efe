#include "export/sheetapp/range_objects.h"

#include <string>

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
    {"ColumnWidth", kColumnWidth, MemberKind::WriteOnly},
    {"RowHeight", kRowHeight, MemberKind::WriteOnly},
    {"HorizontalAlignment", kHorizontalAlignment, MemberKind::WriteOnly},
    {"VerticalAlignment", kVerticalAlignment, MemberKind::WriteOnly},
    {"NumberFormat", kNumberFormat, MemberKind::WriteOnly},
    {"Value", kValue, MemberKind::WriteOnly},
};
constexpr Member kBordersMembers[] = {{"LineStyle", kLineStyle, MemberKind::WriteOnly}};
constexpr Member kCharactersMembers[] = {{"Font", kFont, MemberKind::ReadOnly}};
constexpr Member kFontMembers[] = {
    {"Name", kName, MemberKind::WriteOnly},
    {"Size", kSize, MemberKind::WriteOnly},
};
constexpr Member kInteriorMembers[] = {{"Color", kColor, MemberKind::WriteOnly}};

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

}  // namespace

void WriteRangeValue(ss::Worksheet& sheet, const ss::CellRange& given, const Request& request) {
  const ss::CellRange& range = Changeable(given);
  // A cell holds a text as it stands, or a number.
  if (request.ValueRaw().vt == VT_BSTR) {
    sheet.SetValue(range, request.ValueText());
  } else {
    sheet.SetValue(range, request.ValueNumber());
  }
}

RangeObject::RangeObject(ComRef<WorksheetObject> sheet, spreadsheet::CellRange range)
    : DispatchObject(sheet->SharedInstance(), kRangeMembers), sheet_(std::move(sheet)), range_(range) {}

void RangeObject::Perform(const Member& member, const Request& request, Answer& answer) {
  ComRef<RangeObject> const self = ComRef<RangeObject>::Share(this);
  ss::Worksheet& cells = Sheet();
  switch (member.id) {
    case kBorders:
      request.ExpectCount(0, 0);
      answer.Object(MakeObject<BordersObject>(self));
      return;
    case kCharacters:
      request.ExpectCount(0, 0);
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
      request.ExpectCount(1, 1);
      cells.Merge(Changeable(range_), request.Boolean(0));
      return;
    case kColumnWidth: cells.SetColumnWidth(range_, request.ValueNumber()); return;
    case kRowHeight: cells.SetRowHeight(range_, request.ValueNumber()); return;
    case kHorizontalAlignment: cells.SetHorizontalAlignment(Changeable(range_), request.ValueInt32()); return;
    case kVerticalAlignment: cells.SetVerticalAlignment(Changeable(range_), request.ValueInt32()); return;
    case kNumberFormat: cells.SetNumberFormat(Changeable(range_), request.ValueText()); return;
    case kValue: WriteRangeValue(cells, range_, request); return;
    default: throw Fault{DISP_E_MEMBERNOTFOUND};
  }
}

BordersObject::BordersObject(ComRef<RangeObject> range)
    : DispatchObject(range->SharedInstance(), kBordersMembers), range_(std::move(range)) {}

void BordersObject::Perform(const Member& member, const Request& request, Answer&) {
  if (member.id != kLineStyle) throw Fault{DISP_E_MEMBERNOTFOUND};
  range_->Sheet().SetBorderLineStyle(Changeable(range_->Range()), request.ValueInt32());
}

CharactersObject::CharactersObject(ComRef<RangeObject> range)
    : DispatchObject(range->SharedInstance(), kCharactersMembers), range_(std::move(range)) {}

void CharactersObject::Perform(const Member& member, const Request& request, Answer& answer) {
  if (member.id != kFont) throw Fault{DISP_E_MEMBERNOTFOUND};
  request.ExpectCount(0, 0);
  answer.Object(MakeObject<FontObject>(ComRef<DispatchObject>::Share(this), range_));
}

FontObject::FontObject(ComRef<DispatchObject> parent, ComRef<RangeObject> range)
    : DispatchObject(range->SharedInstance(), kFontMembers), parent_(std::move(parent)), range_(std::move(range)) {}

void FontObject::Perform(const Member& member, const Request& request, Answer&) {
  ss::Worksheet& cells = range_->Sheet();
  switch (member.id) {
    case kName: cells.SetFontName(Changeable(range_->Range()), request.ValueText()); return;
    case kSize: cells.SetFontSize(Changeable(range_->Range()), request.ValueNumber()); return;
    default: throw Fault{DISP_E_MEMBERNOTFOUND};
  }
}

InteriorObject::InteriorObject(ComRef<RangeObject> range)
    : DispatchObject(range->SharedInstance(), kInteriorMembers), range_(std::move(range)) {}

void InteriorObject::Perform(const Member& member, const Request& request, Answer&) {
  if (member.id != kColor) throw Fault{DISP_E_MEMBERNOTFOUND};
  range_->Sheet().SetFillColor(Changeable(range_->Range()), request.ValueInt32());
}

}  // namespace sheetapp
