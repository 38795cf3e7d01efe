// A range of cells and the objects that format it.
//
//   Range       "Borders", "Characters", "Font", "Interior", "Merge"
//               (across or not); written: "ColumnWidth", "RowHeight",
//               "HorizontalAlignment", "VerticalAlignment", "NumberFormat",
//               "Value" (the default member)
//   Borders     "LineStyle", written (all four edges of every cell)
//   Characters  "Font" (of the whole text)
//   Font        "Name", "Size", written
//   Interior    "Color", written (red + 256 * green + 65536 * blue)
//
// Writing "Value" with a text stores the text as it stands; with a number,
// the number. Values and formats are given to at most sixteen whole columns'
// worth of cells at once (widths and heights to any range).
#pragma once

#include "export/sheetapp/dispatch_object.h"
#include "export/sheetapp/sheet_objects.h"
#include "export/spreadsheet/cell_address.h"

namespace sheetapp {

class RangeObject final : public DispatchObject {
 public:
  RangeObject(ComRef<WorksheetObject> sheet, spreadsheet::CellRange range);

  spreadsheet::Worksheet& Sheet() const { return sheet_->Sheet(); }
  const spreadsheet::CellRange& Range() const { return range_; }

 private:
  ~RangeObject() override = default;
  void Perform(const Member& member, const Request& request, Answer& answer) override;

  ComRef<WorksheetObject> sheet_;
  spreadsheet::CellRange range_;
};

// Stores the value of the property write `request` into every cell of `range`.
void WriteRangeValue(spreadsheet::Worksheet& sheet, const spreadsheet::CellRange& range, const Request& request);

class BordersObject final : public DispatchObject {
 public:
  explicit BordersObject(ComRef<RangeObject> range);

 private:
  ~BordersObject() override = default;
  void Perform(const Member& member, const Request& request, Answer& answer) override;

  ComRef<RangeObject> range_;
};

class CharactersObject final : public DispatchObject {
 public:
  explicit CharactersObject(ComRef<RangeObject> range);

 private:
  ~CharactersObject() override = default;
  void Perform(const Member& member, const Request& request, Answer& answer) override;

  ComRef<RangeObject> range_;
};

class FontObject final : public DispatchObject {
 public:
  explicit FontObject(ComRef<DispatchObject> parent, ComRef<RangeObject> range);

 private:
  ~FontObject() override = default;
  void Perform(const Member& member, const Request& request, Answer& answer) override;

  ComRef<DispatchObject> parent_;  // the range, or the range's characters
  ComRef<RangeObject> range_;
};

class InteriorObject final : public DispatchObject {
 public:
  explicit InteriorObject(ComRef<RangeObject> range);

 private:
  ~InteriorObject() override = default;
  void Perform(const Member& member, const Request& request, Answer& answer) override;

  ComRef<RangeObject> range_;
};

}  // namespace sheetapp
