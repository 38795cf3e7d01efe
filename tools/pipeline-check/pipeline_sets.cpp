// pipeline-sets: the program's path from the stopwatch's answers to the
// saved workbook, for answer sets given on standard input.
//
// Each input line is one set: 84 answers in slot order, separated by
// blanks, each the 11 bytes of the measurement report in hex (report ID
// first). For each set the answers are read through the read-out into a
// grid (the read-out's ports, with the regional settings of the process's
// locale), the grid is exported through the built-in spreadsheet
// application into FOLDER/set.xls, and one line answers it:
//   PATH <tab> DATE <tab> TIME      the workbook, and the date and time the read stamped
//   error <tab> MESSAGE             the set could not be taken through
// The file is overwritten by the next set, so read it before sending one.
#include <clocale>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "export/automation/com_session.h"
#include "export/automation/exceptions.h"
#include "export/automation/spreadsheet_link.h"
#include "export/measurement_export.h"
#include "export/sheetapp/builtin_spreadsheet.h"
#include "stopwatch/journal/journal_folder.h"
#include "stopwatch/read_out.h"
#include "stopwatch/wire_format.h"
#include "tests/support/fake_read_out_ports.h"
#include "tests/support/simulated_stopwatch.h"

namespace {

// The regional settings as the C library has them for the process's locale.
class CLocaleClock final : public stopwatch::ClockLocalePort {
 public:
  stopwatch::LocalDateTime Now() override {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900,
            local.tm_mon + 1,
            local.tm_mday,
            local.tm_hour,
            local.tm_min,
            local.tm_sec,
            static_cast<int>(local.tm_gmtoff / 60)};
  }
  std::string ShortDate(const stopwatch::LocalDateTime& moment) override { return Format(moment, "%x"); }
  std::string LongTime(const stopwatch::LocalDateTime& moment) override { return Format(moment, "%X"); }
  std::string DecimalSeparator() override { return std::localeconv()->decimal_point; }

 private:
  static std::string Format(const stopwatch::LocalDateTime& moment, const char* format) {
    std::tm local{};
    local.tm_year = moment.year - 1900;
    local.tm_mon = moment.month - 1;
    local.tm_mday = moment.day;
    local.tm_hour = moment.hour;
    local.tm_min = moment.minute;
    local.tm_sec = moment.second;
    char text[64];
    return std::string(text, std::strftime(text, sizeof text, format, &local));
  }
};

// The export's view of the grid the read-out filled, and a save dialog
// that always names `path`.
class GridExportPorts final : public measurement_export::ExportPorts {
 public:
  GridExportPorts(const stopwatch::FakeReadOutWindow& grid, std::string separator, std::string path)
      : grid_(grid), separator_(std::move(separator)), path_(std::move(path)) {}

  std::string CellText(int column, int row) override { return grid_.Cell(column, row); }
  std::string DecimalSeparator() override { return separator_; }
  bool ExecuteSaveDialog() override { return true; }
  std::string SaveDialogFileName() override { return path_; }
  bool FileExists(const std::string& path) override { return measurement_export::RegularFileExists(path); }
  bool ConfirmOverwrite(const std::string&) override { return true; }
  void SetSpreadsheetLabel(const automation::SpreadsheetLabel&) override {}
  automation::OleVariant& Link() override { return automation::SpreadsheetLink(); }

 private:
  const stopwatch::FakeReadOutWindow& grid_;
  std::string separator_;
  std::string path_;
};

bool ParseSet(const std::string& line, stopwatch::SimulatedStopwatch& device) {
  std::istringstream words(line);
  std::string word;
  int slot = 0;
  for (; words >> word; ++slot) {
    if (slot >= stopwatch::kSlotCount || word.size() != 2 * stopwatch::kAnswerLength) return false;
    std::uint8_t bytes[stopwatch::kAnswerLength];
    for (std::size_t i = 0; i < stopwatch::kAnswerLength; ++i) {
      unsigned value = 0;
      if (std::sscanf(word.c_str() + 2 * i, "%2x", &value) != 1) return false;
      bytes[i] = static_cast<std::uint8_t>(value);
    }
    std::array<std::uint8_t, 9> digits{};  // bytes 9 down to 1
    for (std::size_t i = 0; i < digits.size(); ++i) digits[i] = bytes[stopwatch::kLastDigitByte - i];
    device.SetSlotDigits(slot, digits, bytes[stopwatch::kIncrementFlagByte]);
    device.SetReportId(bytes[0]);
  }
  return slot == stopwatch::kSlotCount;
}

// Keeps the read in the journal and reads the entry back: empty when its
// decoding is the grid, else what differs.
std::string KeepAndDecodeAgain(const std::string& folder, const stopwatch::FinishedRead& read,
                               stopwatch::ClockLocalePort& clock, const stopwatch::FakeReadOutWindow& grid,
                               std::string& entryPath) {
  try {
    entryPath = (std::filesystem::path(folder) / stopwatch::journal::WriteEntry(folder, read)).string();
  } catch (const stopwatch::journal::JournalError& error) {
    return error.what();
  }
  const stopwatch::journal::ListedEntry listed = stopwatch::journal::ReadEntryFile(entryPath);
  if (!listed.entry) return "the journal entry is unreadable: " + listed.problem;
  const stopwatch::FinishedRead again = stopwatch::journal::ReadOfEntry(*listed.entry, clock);
  for (int slot = 0; slot < stopwatch::kSlotCount; ++slot) {
    const stopwatch::Cell cell = stopwatch::SlotCell(slot);
    if (again.cells[static_cast<std::size_t>(slot)] != grid.Cell(cell.column, cell.row))
      return "the journal entry decodes slot " + std::to_string(slot) + " to " +
             again.cells[static_cast<std::size_t>(slot)] + ", the table shows " + grid.Cell(cell.column, cell.row);
  }
  if (again.date != read.date || again.time != read.time) return "the journal entry's stamp differs";
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER < SETS\n", argv[0]);
    return 2;
  }
  std::setlocale(LC_ALL, "");
  const std::string path = (std::filesystem::path(argv[1]) / "set.xls").string();
  const std::string journal = (std::filesystem::path(argv[1]) / "journal").string();
  std::string entry;
  automation::ComSession com(automation::SpreadsheetLink());
  sheetapp::RegisterBuiltInSpreadsheet();
  CLocaleClock clock;
  for (std::string line; std::getline(std::cin, line);) {
    stopwatch::SimulatedStopwatch device;
    if (!ParseSet(line, device)) {
      std::cout << "error\tnot 84 answers of 11 hex bytes" << std::endl;
      continue;
    }
    stopwatch::FakeReadOutWindow grid;
    const stopwatch::ReadOutResult result = stopwatch::ReadOutMeasurements(device, grid, clock);
    if (result.kind != stopwatch::ReadOutResult::Kind::Completed) {
      std::cout << "error\tthe read-out ended with \"" << grid.status << "\"" << std::endl;
      continue;
    }
    if (!entry.empty()) std::filesystem::remove(entry);
    if (const std::string wrong = KeepAndDecodeAgain(journal, result.read, clock, grid, entry); !wrong.empty()) {
      std::cout << "error\t" << wrong << std::endl;
      continue;
    }
    try {
      GridExportPorts ports(grid, clock.DecimalSeparator(), path);
      measurement_export::ExportMeasurements(ports);
    } catch (const automation::Exception& error) {
      std::cout << "error\t" << error.what() << std::endl;
      continue;
    }
    std::cout << path << '\t' << grid.Cell(stopwatch::kReadDateCell.column, stopwatch::kReadDateCell.row) << '\t'
              << grid.Cell(stopwatch::kReadTimeCell.column, stopwatch::kReadTimeCell.row) << '\t' << entry << std::endl;
  }
  return 0;
}
