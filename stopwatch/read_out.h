// The read-out behind "Считать данные": one request/answer exchange per slot,
// each answer shown in the slot's grid cell.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "stopwatch/excluded_slots.h"
#include "stopwatch/local_time.h"
#include "stopwatch/read_out_ports.h"
#include "stopwatch/wire_format.h"

namespace stopwatch {

// How long one answer is waited for. A stopwatch that has something to say
// answers within milliseconds; a silent one must not hold the window.
inline constexpr unsigned kAnswerTimeoutMs = 1000;
// How long a pass waits for another program's pass on the same stopwatch
// to end: long enough for a whole pass of 84 prompt answers.
inline constexpr unsigned kBusyWaitMs = 2000;

inline constexpr std::string_view kStatusNotConnected = "Секундомер не подключен";
inline constexpr std::string_view kStatusNoAnswer = "Секундомер не отвечает";
inline constexpr std::string_view kStatusExchangeFailed = "Ошибка обмена с секундомером";
inline constexpr std::string_view kStatusBusy = "Секундомер занят другой программой";
inline constexpr std::string_view kStatusReadPrefix = "Данные считаны ";
inline constexpr std::string_view kStatusReadTimeJoint = " в ";

// A read in which every slot answered: what it was made from and what the
// table shows of it.
struct FinishedRead {
  LocalDateTime readAt;            // when the last answer had come
  std::string date;                // readAt in the short date format
  std::string time;                // readAt in the long time format
  std::string separator;           // the decimal separator of the cell texts
  std::vector<RawAnswer> answers;  // slot by slot
  std::vector<std::string> cells;  // slot by slot, as the table shows them
  ExcludedSlots excluded;          // set aside from the figures: none from the stopwatch
};

struct ReadOutResult {
  enum class Kind {
    Completed,       // every slot answered; the table shows this read
    NoStopwatch,     // none is held: nothing was done
    NotConnected,    // stopped: the capabilities read an output length of 0
    NoAnswer,        // stopped: an answer did not come in time
    ExchangeFailed,  // stopped: a write or read failed, the answer was short,
                     // or the stopwatch could not be held
    Busy,            // not started: another program's pass held the stopwatch
  };
  Kind kind = Kind::Completed;
  int stoppedAtSlot = -1;  // the slot the pass stopped at, or -1
  FinishedRead read;       // a completed pass's read; empty otherwise
};

// Runs the 84 exchanges in slot order and shows the table only once every
// slot has answered: the slot cells, the hidden date and time cells and the
// status stamp all come from this one pass, stamped when it ends. A pass
// that stops early changes nothing in the table, which may hold an earlier
// read the user has not saved yet; the status line says why it stopped.
// Without a stopwatch the click changes nothing at all.
//
// The pass holds the stopwatch against other programs from its first
// request to its last answer, since answers name no slot and reach every
// program that has the stopwatch open. One that finds it held waits up to
// kBusyWaitMs, then reads; if it is still held, nothing is read and the
// status line says so (kStatusBusy), the table again left as it was.
ReadOutResult ReadOutMeasurements(StopwatchPort& device, ReadOutWindowPort& window, ClockLocalePort& clock);

// The same in two steps, for a window that keeps the read before it shows
// it: ReadStopwatch runs the pass and shows only why a pass stopped (the
// status line); a completed pass changes nothing in the window and hands
// its read back. ShowRead then puts it in the table and the status line.
ReadOutResult ReadStopwatch(StopwatchPort& device, ReadOutWindowPort& window, ClockLocalePort& clock);
void ShowRead(const FinishedRead& read, ReadOutWindowPort& window);

// A read's slot cells and the hidden date and time cells, without the
// status line.
void ShowReadTable(const FinishedRead& read, ReadOutWindowPort& window);
// "Данные считаны <date> в <time>".
std::string ReadStatusText(const std::string& date, const std::string& time);

}  // namespace stopwatch
