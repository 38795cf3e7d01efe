// The read-out behind "Считать данные": one request/answer exchange per slot,
// each answer shown in the slot's grid cell.
#pragma once

#include <string_view>

#include "stopwatch/read_out_ports.h"

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

}  // namespace stopwatch
