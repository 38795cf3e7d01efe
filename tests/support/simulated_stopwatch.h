// A stopwatch that lives in memory, for tests and benchmarks.
//
// It answers each request with the report of the slot named in the request,
// at once, and behaves like the system's HID input path in one respect that
// matters to callers: an answer reaches only an answer handle that was
// prepared before the request was written; each read closes the handle again.
// Faults can be placed at single slots, and it can be unplugged mid-pass.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "stopwatch/read_out_ports.h"
#include "stopwatch/wire_format.h"

namespace stopwatch {

class SimulatedStopwatch : public StopwatchPort {
 public:
  enum class Fault {
    None,
    Silent,        // the read times out
    PrepareFails,  // the answer handle cannot be opened
    WriteFails,    // the request write fails
    ReadFails,     // the answer read fails
    ShortAnswer,   // the read succeeds with fewer bytes than asked for
  };

  // Fill of the bytes after the eleven defined ones in a longer answer.
  static constexpr std::uint8_t kPaddingByte = 0xEE;

  SimulatedStopwatch();

  // Slot contents. `units` is the time in 0.0001 s, written as nine digits
  // (units < 10^9). `digits` gives bytes 9 down to 1, any values.
  void SetSlotTime(int slot, unsigned long long units, std::uint8_t flag = 0);
  void SetSlotDigits(int slot, const std::array<std::uint8_t, 9>& digits, std::uint8_t flag = 0);
  void SetReportId(std::uint8_t id) { reportId_ = id; }

  // Whether a stopwatch is checked out at all.
  void SetPresent(bool present) { present_ = present; }
  // The lengths the capabilities declare (report-ID byte included).
  void SetReportLengths(std::size_t output, std::size_t input);
  void SetFault(int slot, Fault fault, std::size_t shortLength = 5);
  // After slot `slot` has been answered the device is gone: its capabilities
  // read all zero and every transfer fails.
  void UnplugAfterSlot(int slot) { unplugAfter_ = slot; }
  // Another program holds the stopwatch for longer than any wait; or the
  // hold cannot be taken at all.
  void SetHeldElsewhere(bool held) { heldElsewhere_ = held; }
  void SetHoldFails(bool fails) { holdFails_ = fails; }
  // After slot `slot` has been answered the window no longer holds a
  // stopwatch (its removal was handled meanwhile).
  void ForgetAfterSlot(int slot) { forgetAfter_ = slot; }

  // What the pass did, in call order.
  struct Write {
    std::vector<std::uint8_t> bytes;  // the `count` bytes written
    std::size_t bufferSize = 0;
    bool answerHandleOpen = false;  // prepared before this write
    bool held = false;              // while the pass held the stopwatch
  };
  struct Read {
    std::size_t count = 0;
    std::size_t bufferSize = 0;
    unsigned timeoutMs = 0;
  };
  const std::vector<Write>& Writes() const { return writes_; }
  const std::vector<Read>& Reads() const { return reads_; }
  int PrepareCount() const { return prepares_; }
  int CapabilityQueries() const { return capabilityQueries_; }
  // Calls whose count exceeded the buffer handed over.
  int BoundsViolations() const { return boundsViolations_; }
  // The wait the last hold asked for; whether the hold is taken now.
  unsigned LastHoldWait() const { return lastHoldWait_; }
  bool Held() const { return held_; }
  void ClearLog();

  // StopwatchPort
  bool HasStopwatch() override { return present_ && !(forgetAfter_ >= 0 && answered_ > forgetAfter_); }
  HoldOutcome HoldForPass(unsigned waitMs) override;
  void ReleaseHold() override { held_ = false; }
  std::size_t OutputReportByteLength() override;
  std::size_t InputReportByteLength() override;
  bool PrepareAnswer() override;
  bool WriteReport(std::span<const std::uint8_t> buffer, std::size_t count, std::size_t& written) override;
  ReadOutcome ReadReportTimeout(std::span<std::uint8_t> buffer, std::size_t count, std::size_t& read,
                                unsigned timeoutMs) override;

 private:
  using Report = std::array<std::uint8_t, kAnswerLength>;

  bool Unplugged() const { return unplugAfter_ >= 0 && answered_ > unplugAfter_; }
  Fault FaultAt(int slot) const;

  std::array<Report, kSlotCount> slots_{};
  std::uint8_t reportId_ = 0;
  bool present_ = true;
  std::size_t outputLength_ = kRequestLength;
  std::size_t inputLength_ = kAnswerLength;
  std::map<int, std::pair<Fault, std::size_t>> faults_;
  int unplugAfter_ = -1;
  int forgetAfter_ = -1;
  bool heldElsewhere_ = false;
  bool holdFails_ = false;
  bool held_ = false;
  unsigned lastHoldWait_ = 0;

  bool handleOpen_ = false;
  int pendingSlot_ = -1;  // the slot whose answer waits for the open handle
  int requestedSlot_ = -1;
  int answered_ = 0;  // count of slots answered, i.e. the next slot expected

  std::vector<Write> writes_;
  std::vector<Read> reads_;
  int prepares_ = 0;
  int capabilityQueries_ = 0;
  int boundsViolations_ = 0;
};

}  // namespace stopwatch
