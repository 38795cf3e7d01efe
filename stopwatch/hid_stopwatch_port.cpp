#include "stopwatch/hid_stopwatch_port.h"

#include "hid/hid_device.h"

namespace stopwatch {

bool HidStopwatchPort::HasStopwatch() { return device_ != nullptr; }

HoldOutcome HidStopwatchPort::HoldForPass(unsigned waitMs) {
  switch (device_->HoldExclusive(waitMs)) {
    case TJvHidDevice::HoldResult::Held: break;
    case TJvHidDevice::HoldResult::Busy: return HoldOutcome::Busy;
    case TJvHidDevice::HoldResult::Failed: return HoldOutcome::Failed;
  }
  // The answer handle may have been open since an earlier pass, taking in
  // the answers to whatever another program asked meanwhile. A handle
  // opened now starts empty.
  device_->CloseReadHandle();
  return HoldOutcome::Held;
}

void HidStopwatchPort::ReleaseHold() {
  // The stopwatch may have been forgotten during the pass; a device given
  // back let go of its hold then.
  if (device_ != nullptr) device_->ReleaseHold();
}

std::size_t HidStopwatchPort::OutputReportByteLength() { return device_->Caps().OutputReportByteLength; }

std::size_t HidStopwatchPort::InputReportByteLength() { return device_->Caps().InputReportByteLength; }

bool HidStopwatchPort::PrepareAnswer() { return device_->OpenReadHandleForReport(); }

bool HidStopwatchPort::WriteReport(std::span<const std::uint8_t> buffer, std::size_t count, std::size_t& written) {
  DWORD done = 0;
  const bool ok = device_->WriteReport(buffer.data(), static_cast<DWORD>(count), done);
  written = done;
  return ok;
}

ReadOutcome HidStopwatchPort::ReadReportTimeout(std::span<std::uint8_t> buffer, std::size_t count, std::size_t& read,
                                                unsigned timeoutMs) {
  DWORD done = 0;
  const auto result = device_->ReadReportTimeout(buffer.data(), static_cast<DWORD>(count), done, timeoutMs);
  read = done;
  switch (result) {
    case TJvHidDevice::ReadResult::Ok: return ReadOutcome::Ok;
    case TJvHidDevice::ReadResult::TimedOut: return ReadOutcome::TimedOut;
    case TJvHidDevice::ReadResult::Failed: break;
  }
  return ReadOutcome::Failed;
}

}  // namespace stopwatch
