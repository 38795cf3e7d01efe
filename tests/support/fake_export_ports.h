// Export ports over an in-memory grid, with scripted answers for the save
// dialog and the confirmation box, recording what the export asked of them.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "export/measurement_export.h"
#include "tests/support/measurement_grids.h"

namespace measurement_export::testing {

class FakeExportPorts : public ExportPorts {
 public:
  explicit FakeExportPorts(Grid grid, std::string separator = ",")
      : grid(std::move(grid)), separator(std::move(separator)) {}

  std::string CellText(int column, int row) override { return grid.at(column).at(row); }
  std::string DecimalSeparator() override { return separator; }

  bool ExecuteSaveDialog() override {
    ++dialogsShown;
    return dialogConfirmed;
  }
  std::string SaveDialogFileName() override { return fileName; }
  bool FileExists(const std::string& path) override {
    existenceAsked.push_back(path);
    return fileExists ? fileExists(path) : RegularFileExists(path);
  }
  bool ConfirmOverwrite(const std::string& text) override {
    questions.push_back(text);
    return replace;
  }
  void SetSpreadsheetLabel(const automation::SpreadsheetLabel& label) override { this->label = label; }
  automation::OleVariant& Link() override { return link; }

  Grid grid;
  std::string separator;
  bool dialogConfirmed = true;
  std::string fileName;
  std::function<bool(const std::string&)> fileExists;  // unset: the file system answers
  bool replace = true;                                 // the answer to the question: Yes
  automation::OleVariant link;

  int dialogsShown = 0;
  std::vector<std::string> existenceAsked;
  std::vector<std::string> questions;
  std::optional<automation::SpreadsheetLabel> label;
};

}  // namespace measurement_export::testing
