// The read-out behind "Считать данные": one request/answer exchange per slot,
// each answer shown in the slot's grid cell.
#pragma once

#include <string_view>

#include "stopwatch/read_out_ports.h"

namespace stopwatch {

// How long one answer is waited for. A stopwatch that has something to say
// answers within milliseconds; a silent one must not hold the window.
inline constexpr unsigned kAnswerTimeoutMs = 1000;

inline constexpr std::string_view kStatusNotConnected = "Секундомер не подключен";
inline constexpr std::string_view kStatusNoAnswer = "Секундомер не отвечает";
inline constexpr std::string_view kStatusExchangeFailed = "Ошибка обмена с секундомером";
inline constexpr std::string_view kStatusReadPrefix = "Данные считаны ";
inline constexpr std::string_view kStatusReadTimeJoint = " в ";

struct ReadOutResult {
  enum class Kind {
    Completed,       // every slot answered; the table shows this read
    NoStopwatch,     // none is held: nothing was done
    NotConnected,    // stopped: the capabilities read an output length of 0
    NoAnswer,        // stopped: an answer did not come in time
    ExchangeFailed,  // stopped: a write or read failed, or the answer was short
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
ReadOutResult ReadOutMeasurements(StopwatchPort& device, ReadOutWindowPort& window, ClockLocalePort& clock);

}  // namespace stopwatch
