// What the read-out needs from the stopwatch device, the window and the
// regional settings, kept narrow so that the pass runs without either.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "stopwatch/local_time.h"

namespace stopwatch {

enum class ReadOutcome {
  Ok,        // an input report arrived; `read` holds its length
  TimedOut,  // none arrived within the time allowed
  Failed,    // the transfer failed
};

enum class HoldOutcome {
  Held,    // the stopwatch is this pass's alone
  Busy,    // another program still had it when the wait ran out
  Failed,  // the hold could not be taken
};

// The checked-out stopwatch, if any.
class StopwatchPort {
 public:
  virtual ~StopwatchPort() = default;

  // Whether a stopwatch is checked out at all.
  virtual bool HasStopwatch() = 0;

  // Takes the stopwatch for this pass alone, against every other program,
  // waiting at most `waitMs` for one that has it now. An answer carries no
  // slot number, and every program that has the stopwatch open receives
  // every answer: input reports that reached this program before the hold
  // (answers to another program's requests) are dropped, so that the pass
  // sees only answers to its own requests.
  virtual HoldOutcome HoldForPass(unsigned waitMs) = 0;
  // Lets the stopwatch go again; nothing when it is not held.
  virtual void ReleaseHold() = 0;

  // The capabilities' report lengths, report-ID byte included; 0 when the
  // capabilities cannot be read. Asked afresh at each use.
  virtual std::size_t OutputReportByteLength() = 0;
  virtual std::size_t InputReportByteLength() = 0;

  // Opens the handle the answer will be read through. The system hands an
  // input report only to handles that are open when it arrives, so this runs
  // before the request is written. False when it cannot be opened.
  virtual bool PrepareAnswer() = 0;

  // Writes one output report: the first `count` bytes of `buffer`
  // (count <= buffer.size()). True on success, with `written` set.
  virtual bool WriteReport(std::span<const std::uint8_t> buffer, std::size_t count, std::size_t& written) = 0;

  // Reads one input report of at most `count` bytes into `buffer`
  // (count <= buffer.size()), waiting at most `timeoutMs` milliseconds.
  virtual ReadOutcome ReadReportTimeout(std::span<std::uint8_t> buffer, std::size_t count, std::size_t& read,
                                        unsigned timeoutMs) = 0;
};

// The main window's status line and measurement grid. Texts are UTF-8.
class ReadOutWindowPort {
 public:
  virtual ~ReadOutWindowPort() = default;
  virtual void SetStatusText(const std::string& text) = 0;
  // (column, row), both counted from 0.
  virtual void SetCellText(int column, int row, const std::string& text) = 0;
};

// The clock and the user's regional settings. Texts are UTF-8.
class ClockLocalePort {
 public:
  virtual ~ClockLocalePort() = default;
  // Now, on the local clock.
  virtual LocalDateTime Now() = 0;
  // A moment's date in the short date format.
  virtual std::string ShortDate(const LocalDateTime& moment) = 0;
  // A moment's time in the long time format (hours, minutes and seconds).
  virtual std::string LongTime(const LocalDateTime& moment) = 0;
  // The decimal separator, e.g. "," or ".".
  virtual std::string DecimalSeparator() = 0;
};

}  // namespace stopwatch
