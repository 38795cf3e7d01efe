// The read-out over a checked-out HID device, on the simulated platform,
// where every open handle gets its own copy of each input report, as on
// the real systems.
#include "stopwatch/hid_stopwatch_port.h"

#include <gtest/gtest.h>

#include "hid/hid_controller.h"
#include "stopwatch/identity.h"
#include "stopwatch/read_out.h"
#include "stopwatch/wire_format.h"
#include "tests/support/fake_read_out_ports.h"
#include "tests/support/simulated_hid_platform.h"

namespace stopwatch {
namespace {

TEST(HidStopwatchPort, AnswersToAnotherProgramWaitingInTheHandleNeverReachTheTable) {
  simulated_hid::SimulatedPlatform platform;
  simulated_hid::TestEventLoop loop;
  simulated_hid::DeviceConfig config;
  config.vendorId = kVendorId;
  config.productId = kProductId;
  config.inputReportLength = kAnswerLength;
  config.outputReportLength = kRequestLength;
  const simulated_hid::DeviceId id = platform.AddDevice(config);
  // Slot i holds i + 1 seconds.
  platform.SetResponder(id, [](const std::vector<BYTE>& request) -> std::optional<simulated_hid::SimulatedReport> {
    return simulated_hid::SimulatedReport{EncodeAnswer((request.at(1) - kFirstSlotRequest + 1) * 10000ULL)};
  });
  TJvHidDeviceController controller(nullptr);
  loop.RunPending();
  TJvHidDevice* device = nullptr;
  ASSERT_TRUE(controller.CheckOutDevice(device, 0));
  HidStopwatchPort port(device);
  FixedClock clock("24.05.2024", "13:45:00", ".");

  FakeReadOutWindow window;
  ASSERT_EQ(ReadOutMeasurements(port, window, clock).kind, ReadOutResult::Kind::Completed);
  EXPECT_FALSE(platform.HeldHere(id)) << "let go after the pass";
  // Another program reads meanwhile: the answer handle, still open from
  // the pass, receives its answers too.
  for (std::uint64_t units : {990000ULL, 980000ULL, 970000ULL}) platform.QueueInput(id, EncodeAnswer(units));
  loop.RunPending();
  ASSERT_EQ(ReadOutMeasurements(port, window, clock).kind, ReadOutResult::Kind::Completed);
  for (int slot = 0; slot < kSlotCount; ++slot) {
    const Cell cell = SlotCell(slot);
    EXPECT_EQ(window.Cell(cell.column, cell.row), std::to_string(slot + 1) + ".0000") << "slot " << slot;
  }

  platform.SetHeldElsewhere(id, true);
  const std::size_t writes = platform.Writes(id).size();
  EXPECT_EQ(ReadOutMeasurements(port, window, clock).kind, ReadOutResult::Kind::Busy);
  EXPECT_EQ(platform.LastHoldWait(id), kBusyWaitMs);
  EXPECT_EQ(platform.Writes(id).size(), writes);
  delete device;
}

}  // namespace
}  // namespace stopwatch
