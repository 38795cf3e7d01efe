#include "export/sheetapp/sheet_objects.h"

#include "export/sheetapp/range_objects.h"
#include "export/spreadsheet/cell_address.h"

namespace sheetapp {
namespace {

namespace ss = spreadsheet;

enum : DISPID {
  kPageSetup = 1,
  kRange,
  kCells,
  kColumns,
  kRows,
  kOrientation,
};

constexpr Member kWorksheetMembers[] = {
    {"PageSetup", kPageSetup, MemberKind::ReadOnly}, {"Range", kRange, MemberKind::ReadOnly},
    {"Cells", kCells, MemberKind::RangeValue},       {"Columns", kColumns, MemberKind::ReadOnly},
    {"Rows", kRows, MemberKind::ReadOnly},
};
constexpr Member kPageSetupMembers[] = {{"Orientation", kOrientation, MemberKind::WriteOnly}};

// The one argument that names a column or a row.
std::int32_t LineArgument(const Request& request) {
  request.ExpectCount(1, 1);
  return request.Int32(0);
}

}  // namespace

WorksheetObject::WorksheetObject(std::shared_ptr<InstanceState> instance, ComRef<DispatchObject> parent,
                                 std::shared_ptr<spreadsheet::Workbook> book, std::size_t index)
    : DispatchObject(std::move(instance), kWorksheetMembers),
      parent_(std::move(parent)),
      book_(std::move(book)),
      index_(index) {}

void WorksheetObject::Perform(const Member& member, const Request& request, Answer& answer) {
  ComRef<WorksheetObject> const self = ComRef<WorksheetObject>::Share(this);
  ss::CellRange range;
  switch (member.id) {
    case kPageSetup:
      request.ExpectCount(0, 0);
      answer.Object(MakeObject<PageSetupObject>(self));
      return;
    case kRange:
      // One address ("A1:K11"); its optional second corner is left out.
      request.ExpectCount(1, 2);
      if (!request.Omitted(1)) throw ApplicationError("Поддерживается только диапазон, заданный одним адресом");
      range = ss::ParseRange(request.Text(0));
      break;
    case kCells:
      request.ExpectCount(2, 2);
      range = ss::SingleCell(request.Int32(0), request.Int32(1));
      break;
    case kColumns: {
      std::int32_t const column = LineArgument(request);
      range = ss::MakeRange(1, column, ss::kMaxRows, column);
      break;
    }
    case kRows: {
      std::int32_t const row = LineArgument(request);
      range = ss::MakeRange(row, 1, row, ss::kMaxColumns);
      break;
    }
    default: throw Fault{DISP_E_MEMBERNOTFOUND};
  }
  if (request.IsPut()) {
    WriteRangeValue(Sheet(), range, request);
  } else {
    answer.Object(MakeObject<RangeObject>(self, range));
  }
}

PageSetupObject::PageSetupObject(ComRef<WorksheetObject> sheet)
    : DispatchObject(sheet->SharedInstance(), kPageSetupMembers), sheet_(std::move(sheet)) {}

void PageSetupObject::Perform(const Member& member, const Request& request, Answer&) {
  if (member.id != kOrientation) throw Fault{DISP_E_MEMBERNOTFOUND};
  sheet_->Sheet().SetOrientation(request.ValueInt32());
}

}  // namespace sheetapp
