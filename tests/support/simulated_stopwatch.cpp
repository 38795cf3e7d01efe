#include "tests/support/simulated_stopwatch.h"

#include <algorithm>

namespace stopwatch {

SimulatedStopwatch::SimulatedStopwatch() = default;

void SimulatedStopwatch::SetSlotTime(int slot, unsigned long long units, std::uint8_t flag) {
  const std::vector<std::uint8_t> answer = EncodeAnswer(units, flag);
  std::copy(answer.begin(), answer.end(), slots_.at(slot).begin());
}

void SimulatedStopwatch::SetSlotDigits(int slot, const std::array<std::uint8_t, 9>& digits, std::uint8_t flag) {
  Report& report = slots_.at(slot);
  for (std::size_t i = 0; i < digits.size(); ++i) report[kLastDigitByte - i] = digits[i];
  report[kIncrementFlagByte] = flag;
}

void SimulatedStopwatch::SetReportLengths(std::size_t output, std::size_t input) {
  outputLength_ = output;
  inputLength_ = input;
}

void SimulatedStopwatch::SetFault(int slot, Fault fault, std::size_t shortLength) {
  faults_[slot] = {fault, shortLength};
}

void SimulatedStopwatch::ClearLog() {
  writes_.clear();
  reads_.clear();
  prepares_ = 0;
  capabilityQueries_ = 0;
  boundsViolations_ = 0;
}

SimulatedStopwatch::Fault SimulatedStopwatch::FaultAt(int slot) const {
  const auto found = faults_.find(slot);
  return found == faults_.end() ? Fault::None : found->second.first;
}

std::size_t SimulatedStopwatch::OutputReportByteLength() {
  ++capabilityQueries_;
  return Unplugged() ? 0 : outputLength_;
}

std::size_t SimulatedStopwatch::InputReportByteLength() {
  ++capabilityQueries_;
  return Unplugged() ? 0 : inputLength_;
}

HoldOutcome SimulatedStopwatch::HoldForPass(unsigned waitMs) {
  lastHoldWait_ = waitMs;
  if (holdFails_) return HoldOutcome::Failed;
  if (heldElsewhere_) return HoldOutcome::Busy;
  held_ = true;
  return HoldOutcome::Held;
}

bool SimulatedStopwatch::PrepareAnswer() {
  ++prepares_;
  if (Unplugged() || FaultAt(answered_) == Fault::PrepareFails) return false;
  handleOpen_ = true;
  return true;
}

bool SimulatedStopwatch::WriteReport(std::span<const std::uint8_t> buffer, std::size_t count, std::size_t& written) {
  written = 0;
  if (count > buffer.size()) {
    ++boundsViolations_;
    return false;
  }
  writes_.push_back(Write{{buffer.begin(), buffer.begin() + count}, buffer.size(), handleOpen_, held_});
  if (Unplugged() || count < kRequestLength) return false;

  // Only a well-formed request names a slot; anything else is ignored.
  const bool wellFormed =
      buffer[0] == 0 && buffer[1] >= kFirstSlotRequest && buffer[1] < kFirstSlotRequest + kSlotCount &&
      std::all_of(buffer.begin() + kRequestLength, buffer.begin() + count, [](std::uint8_t b) { return b == 0; });
  requestedSlot_ = wellFormed ? buffer[1] - kFirstSlotRequest : -1;
  if (requestedSlot_ >= 0 && FaultAt(requestedSlot_) == Fault::WriteFails) return false;
  written = count;
  // The answer goes to the handles open now; with none open it is lost.
  pendingSlot_ = handleOpen_ ? requestedSlot_ : -1;
  return true;
}

ReadOutcome SimulatedStopwatch::ReadReportTimeout(std::span<std::uint8_t> buffer, std::size_t count, std::size_t& read,
                                                  unsigned timeoutMs) {
  read = 0;
  reads_.push_back(Read{count, buffer.size(), timeoutMs});
  if (count > buffer.size()) {
    ++boundsViolations_;
    return ReadOutcome::Failed;
  }
  const int slot = pendingSlot_;
  pendingSlot_ = -1;
  const bool wasOpen = handleOpen_;
  handleOpen_ = false;  // opened on demand, closed after the read
  if (Unplugged() || !wasOpen) return ReadOutcome::Failed;

  const Fault fault = requestedSlot_ >= 0 ? FaultAt(requestedSlot_) : Fault::None;
  if (fault == Fault::ReadFails) return ReadOutcome::Failed;
  if (slot < 0 || fault == Fault::Silent) return ReadOutcome::TimedOut;

  // The device sends its declared input report: the eleven bytes, padded.
  std::vector<std::uint8_t> report(std::max(inputLength_, kAnswerLength), kPaddingByte);
  std::copy(slots_[slot].begin(), slots_[slot].end(), report.begin());
  report[0] = reportId_;
  std::size_t length = std::min(count, report.size());
  if (fault == Fault::ShortAnswer) length = std::min(length, faults_.at(slot).second);
  std::copy_n(report.begin(), length, buffer.begin());
  read = length;
  answered_ = slot + 1;
  return ReadOutcome::Ok;
}

}  // namespace stopwatch
