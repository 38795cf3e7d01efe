// The read-out's device port over the checked-out HID device.
#pragma once

#include "stopwatch/read_out_ports.h"

class TJvHidDevice;

namespace stopwatch {

class HidStopwatchPort final : public StopwatchPort {
 public:
  // `device` is the program-wide reference: read at each call, never owned.
  explicit HidStopwatchPort(TJvHidDevice* const& device) : device_(device) {}

  bool HasStopwatch() override;
  HoldOutcome HoldForPass(unsigned waitMs) override;
  void ReleaseHold() override;
  std::size_t OutputReportByteLength() override;
  std::size_t InputReportByteLength() override;
  bool PrepareAnswer() override;
  bool WriteReport(std::span<const std::uint8_t> buffer, std::size_t count, std::size_t& written) override;
  ReadOutcome ReadReportTimeout(std::span<std::uint8_t> buffer, std::size_t count, std::size_t& read,
                                unsigned timeoutMs) override;

 private:
  TJvHidDevice* const& device_;
};

}  // namespace stopwatch
