#include "stopwatch/read_out.h"

#include <string>
#include <vector>

#include "stopwatch/cell_text.h"
#include "stopwatch/wire_format.h"

namespace stopwatch {
namespace {

enum class Exchange { Answered, NoAnswer, Failed };

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
    case ReadOutcome::Ok:
      break;
    case ReadOutcome::TimedOut:
      return Exchange::NoAnswer;
    case ReadOutcome::Failed:
      return Exchange::Failed;
  }
  if (read < kAnswerLength || read > answer.size()) return Exchange::Failed;
  return Exchange::Answered;
}

}  // namespace

ReadOutResult ReadOutMeasurements(StopwatchPort& device, ReadOutWindowPort& window, ClockLocalePort& clock) {
  ReadOutResult result;
  std::vector<std::uint8_t> answer;
  for (int slot = 0; slot < kSlotCount; ++slot) {
    if (!device.HasStopwatch()) continue;
    const std::size_t outputLength = device.OutputReportByteLength();
    if (outputLength == 0) {
      window.SetStatusText(std::string(kStatusNotConnected));
      continue;
    }

    const Exchange exchange = ExchangeSlot(device, slot, outputLength, answer);
    if (exchange != Exchange::Answered) {
      const bool silent = exchange == Exchange::NoAnswer;
      window.SetStatusText(std::string(silent ? kStatusNoAnswer : kStatusExchangeFailed));
      result.kind = silent ? ReadOutResult::Kind::NoAnswer : ReadOutResult::Kind::ExchangeFailed;
      result.stoppedAtSlot = slot;
      return result;
    }

    std::string status(kStatusReadPrefix);
    status += clock.CurrentDate();
    status += kStatusReadTimeJoint;
    status += clock.CurrentTime();
    window.SetStatusText(status);

    const Cell cell = SlotCell(slot);
    window.SetCellText(cell.column, cell.row,
                       CellTextForAnswer(Answer(answer.data(), kAnswerLength), clock.DecimalSeparator()));
    window.SetCellText(kReadDateCell.column, kReadDateCell.row, clock.CurrentDate());
    window.SetCellText(kReadTimeCell.column, kReadTimeCell.row, clock.CurrentTime());
    ++result.slotsShown;
  }
  return result;
}

}  // namespace stopwatch
