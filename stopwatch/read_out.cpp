#include "stopwatch/read_out.h"

#include <algorithm>
#include <string>
#include <vector>

#include "stopwatch/cell_text.h"
#include "stopwatch/wire_format.h"

namespace stopwatch {
namespace {

enum class Exchange { Answered, NotConnected, NoAnswer, Failed };

// One request/answer exchange for `slot`. On success `answer` holds a
// complete report of at least kAnswerLength bytes.
Exchange ExchangeSlot(StopwatchPort& device, int slot, std::size_t outputLength, std::vector<std::uint8_t>& answer) {
  const std::vector<std::uint8_t> request = MakeRequest(slot, outputLength);
  if (!device.PrepareAnswer()) return Exchange::Failed;
  std::size_t written = 0;
  if (!device.WriteReport(request, outputLength, written) || written < outputLength) return Exchange::Failed;

  const std::size_t inputLength = device.InputReportByteLength();
  answer.assign(AnswerBufferSize(inputLength), 0);
  std::size_t read = 0;
  switch (device.ReadReportTimeout(answer, inputLength, read, kAnswerTimeoutMs)) {
    case ReadOutcome::Ok: break;
    case ReadOutcome::TimedOut: return Exchange::NoAnswer;
    case ReadOutcome::Failed: return Exchange::Failed;
  }
  if (read < kAnswerLength || read > answer.size()) return Exchange::Failed;
  return Exchange::Answered;
}

// How a pass that stops at a failed exchange ends, and what the status line says.
struct Stop {
  ReadOutResult::Kind kind;
  std::string_view status;
};

// Lets the stopwatch go however the pass ends.
class PassHold {
 public:
  explicit PassHold(StopwatchPort& device) : device_(device) {}
  ~PassHold() { device_.ReleaseHold(); }
  PassHold(const PassHold&) = delete;
  PassHold& operator=(const PassHold&) = delete;

 private:
  StopwatchPort& device_;
};

Stop StopFor(Exchange exchange) {
  switch (exchange) {
    case Exchange::NotConnected: return {ReadOutResult::Kind::NotConnected, kStatusNotConnected};
    case Exchange::NoAnswer: return {ReadOutResult::Kind::NoAnswer, kStatusNoAnswer};
    case Exchange::Answered:
    case Exchange::Failed: break;
  }
  return {ReadOutResult::Kind::ExchangeFailed, kStatusExchangeFailed};
}

}  // namespace

ReadOutResult ReadStopwatch(StopwatchPort& device, ReadOutWindowPort& window, ClockLocalePort& clock) {
  ReadOutResult result;
  if (!device.HasStopwatch()) {
    result.kind = ReadOutResult::Kind::NoStopwatch;
    return result;
  }
  switch (device.HoldForPass(kBusyWaitMs)) {
    case HoldOutcome::Held: break;
    case HoldOutcome::Busy:
      result.kind = ReadOutResult::Kind::Busy;
      window.SetStatusText(std::string(kStatusBusy));
      return result;
    case HoldOutcome::Failed:
      result.kind = ReadOutResult::Kind::ExchangeFailed;
      result.stoppedAtSlot = 0;
      window.SetStatusText(std::string(kStatusExchangeFailed));
      return result;
  }
  const PassHold hold(device);

  FinishedRead& read = result.read;
  read.separator = clock.DecimalSeparator();
  read.cells.reserve(kSlotCount);
  read.answers.reserve(kSlotCount);
  std::vector<std::uint8_t> answer;
  for (int slot = 0; slot < kSlotCount; ++slot) {
    // The port reads the window's reference afresh at each call: a removal
    // handled during the pass leaves it without a stopwatch.
    const std::size_t outputLength = device.HasStopwatch() ? device.OutputReportByteLength() : 0;
    const Exchange exchange =
        outputLength == 0 ? Exchange::NotConnected : ExchangeSlot(device, slot, outputLength, answer);
    if (exchange != Exchange::Answered) {
      const Stop stop = StopFor(exchange);
      result.kind = stop.kind;
      result.stoppedAtSlot = slot;
      window.SetStatusText(std::string(stop.status));
      result.read = {};
      return result;
    }
    // Kept before the cell text is made: the increment works on the buffer.
    RawAnswer& raw = read.answers.emplace_back();
    std::copy_n(answer.begin(), kAnswerLength, raw.begin());
    read.cells.push_back(CellTextForAnswer(Answer(answer.data(), kAnswerLength), read.separator));
  }

  // One moment for the stamp, taken once every slot has answered.
  read.readAt = clock.Now();
  read.date = clock.ShortDate(read.readAt);
  read.time = clock.LongTime(read.readAt);
  return result;
}

void ShowReadTable(const FinishedRead& read, ReadOutWindowPort& window) {
  for (int slot = 0; slot < kSlotCount && slot < static_cast<int>(read.cells.size()); ++slot) {
    const Cell cell = SlotCell(slot);
    window.SetCellText(cell.column, cell.row, read.cells[static_cast<std::size_t>(slot)]);
  }
  window.SetCellText(kReadDateCell.column, kReadDateCell.row, read.date);
  window.SetCellText(kReadTimeCell.column, kReadTimeCell.row, read.time);
}

std::string ReadStatusText(const std::string& date, const std::string& time) {
  return std::string(kStatusReadPrefix) + date + std::string(kStatusReadTimeJoint) + time;
}

void ShowRead(const FinishedRead& read, ReadOutWindowPort& window) {
  ShowReadTable(read, window);
  window.SetStatusText(ReadStatusText(read.date, read.time));
}

ReadOutResult ReadOutMeasurements(StopwatchPort& device, ReadOutWindowPort& window, ClockLocalePort& clock) {
  ReadOutResult result = ReadStopwatch(device, window, clock);
  if (result.kind == ReadOutResult::Kind::Completed) ShowRead(result.read, window);
  return result;
}

}  // namespace stopwatch
