#include "export/sheetapp/sheet_objects.h"

#include <algorithm>

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
    {"PageSetup", kPageSetup, MemberKind::ReadOnly}, {"Range", kRange, MemberKind::RangeValue},
    {"Cells", kCells, MemberKind::RangeValue},       {"Columns", kColumns, MemberKind::ReadOnly},
    {"Rows", kRows, MemberKind::ReadOnly},
};
constexpr Member kPageSetupMembers[] = {
    {"Orientation", kOrientation, MemberKind::Property},
};

ss::CellRange WholeSheet() { return ss::MakeRange(1, 1, ss::kMaxRows, ss::kMaxColumns); }

// "Range": one address ("A1:K11"), or two corners whose span it names.
ss::CellRange RangeArgument(const Request& request) {
  request.ExpectCount(1, 2);
  ss::CellRange range = ss::ParseRange(request.Text(0));
  if (!request.Omitted(1)) {
    ss::CellRange const other = ss::ParseRange(request.Text(1));
    range = ss::MakeRange(std::min(range.firstRow, other.firstRow), std::min(range.firstColumn, other.firstColumn),
                          std::max(range.lastRow, other.lastRow), std::max(range.lastColumn, other.lastColumn));
  }
  return range;
}

// "Cells": every cell; the cell at row and column; or the n-th cell counted
// row by row from A1.
ss::CellRange CellsArgument(const Request& request) {
  request.ExpectCount(0, 2);
  if (request.Count() == 0) return WholeSheet();
  if (request.Count() == 1) {
    std::int32_t const n = request.Int32(0);
    if (n < 1) return ss::SingleCell(0, n);  // refused with the sheet's own message
    return ss::SingleCell((n - 1) / ss::kMaxColumns + 1, (n - 1) % ss::kMaxColumns + 1);
  }
  return ss::SingleCell(request.Int32(0), request.Int32(1));
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
    case kRange: range = RangeArgument(request); break;
    case kCells: range = CellsArgument(request); break;
    case kColumns:
      request.ExpectCount(0, 1);
      if (request.Count() == 0) {
        range = WholeSheet();
      } else {
        std::int32_t const column = request.Int32(0);
        range = ss::MakeRange(1, column, ss::kMaxRows, column);
      }
      break;
    case kRows:
      request.ExpectCount(0, 1);
      if (request.Count() == 0) {
        range = WholeSheet();
      } else {
        std::int32_t const row = request.Int32(0);
        range = ss::MakeRange(row, 1, row, ss::kMaxColumns);
      }
      break;
    default: throw Fault{DISP_E_MEMBERNOTFOUND};
  }
  if (request.IsPut()) {
    WriteRangeValue(sheet(), range, request);
  } else {
    answer.Object(MakeObject<RangeObject>(self, range));
  }
}

PageSetupObject::PageSetupObject(ComRef<WorksheetObject> sheet)
    : DispatchObject(sheet->sharedInstance(), kPageSetupMembers), sheet_(std::move(sheet)) {}

void PageSetupObject::Perform(const Member& member, const Request& request, Answer& answer) {
  if (member.id != kOrientation) throw Fault{DISP_E_MEMBERNOTFOUND};
  if (request.IsPut()) {
    sheet_->sheet().SetOrientation(request.ValueInt32());
  } else {
    answer.Int32(sheet_->sheet().Orientation());
  }
}

}  // namespace sheetapp
