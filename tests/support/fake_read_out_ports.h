// A window and a clock that live in memory, for tests and benchmarks.
#pragma once

#include <map>
#include <string>
#include <utility>

#include "stopwatch/read_out_ports.h"

namespace stopwatch {

// Keeps what the read-out writes: the status line, every cell text, and how
// many times each was written.
class FakeReadOutWindow : public ReadOutWindowPort {
 public:
  void SetStatusText(const std::string& text) override {
    status = text;
    ++statusWrites;
  }
  void SetCellText(int column, int row, const std::string& text) override {
    cells[{column, row}] = text;
    ++cellWrites;
  }

  // "" for a cell never written.
  std::string Cell(int column, int row) const {
    const auto found = cells.find({column, row});
    return found == cells.end() ? std::string() : found->second;
  }

  std::string status;
  std::map<std::pair<int, int>, std::string> cells;
  int statusWrites = 0;
  int cellWrites = 0;
};

// A clock that always reads the same moment, 24 May 2024 at 13:45:00
// (Moscow time) unless set otherwise, and writes every date and time as
// the same texts.
class FixedClock : public ClockLocalePort {
 public:
  FixedClock(std::string date, std::string time, std::string separator)
      : date_(std::move(date)), time_(std::move(time)), separator_(std::move(separator)) {}

  LocalDateTime Now() override { return now; }
  std::string ShortDate(const LocalDateTime&) override { return date_; }
  std::string LongTime(const LocalDateTime&) override { return time_; }
  std::string DecimalSeparator() override { return separator_; }

  LocalDateTime now{2024, 5, 24, 13, 45, 0, 180};

 private:
  std::string date_;
  std::string time_;
  std::string separator_;
};

}  // namespace stopwatch
