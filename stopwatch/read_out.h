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
    Completed,       // every slot was tried (some may have been skipped)
    NoAnswer,        // stopped: an answer did not come in time
    ExchangeFailed,  // stopped: a write or read failed, or the answer was short
  };
  Kind kind = Kind::Completed;
  int slotsShown = 0;      // slots whose cell was written
  int stoppedAtSlot = -1;  // the slot whose exchange failed, or -1
};

// Runs the 84 exchanges in slot order. Slots are skipped without a trace
// while no stopwatch is held, and with the status "Секундомер не подключен"
// while its capabilities read an output length of 0. A failed exchange ends
// the pass at that slot with a status saying why; nothing of that slot or
// the ones after it reaches the grid, and the hidden date and time cells keep
// the stamp of the last slot shown.
ReadOutResult ReadOutMeasurements(StopwatchPort& device, ReadOutWindowPort& window, ClockLocalePort& clock);

}  // namespace stopwatch
