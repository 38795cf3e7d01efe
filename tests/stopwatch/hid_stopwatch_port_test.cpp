// The read-out over a checked-out HID device, on the simulated platform,
// where every open handle gets its own copy of each input report, as on
// the real systems.
#include "stopwatch/hid_stopwatch_port.h"

#include <gtest/gtest.h>

#include "hid/hid_controller.h"
#include "stopwatch/identity.h"
#include "stopwatch/read_out.h"
#include "stopwatch/simulated/recording_window.h"
#include "stopwatch/wire_format.h"
#include "tests/sim/hid_sim.h"

namespace stopwatch {
namespace {

TEST(HidStopwatchPort, AnswersToAnotherProgramWaitingInTheHandleNeverReachTheTable) {
  hidsim::SimPlatform sim;
  hidsim::TestEventLoop loop;
  hidsim::DeviceConfig config;
  config.vendorId = kVendorId;
  config.productId = kProductId;
  config.inputReportLength = kAnswerLength;
  config.outputReportLength = kRequestLength;
  const hidsim::DeviceId id = sim.AddDevice(config);
  // Slot i holds i + 1 seconds.
  sim.SetResponder(id, [](const std::vector<BYTE>& request) -> std::optional<hidsim::ScriptedReport> {
    return hidsim::ScriptedReport{EncodeAnswer((request.at(1) - kFirstSlotRequest + 1) * 10000ULL)};
  });
  TJvHidDeviceController controller(nullptr);
  loop.RunPending();
  TJvHidDevice* device = nullptr;
  ASSERT_TRUE(controller.CheckOutDevice(device, 0));
  HidStopwatchPort port(device);
  FixedClock clock("24.05.2024", "13:45:00", ".");

  RecordingWindow window;
  ASSERT_EQ(ReadOutMeasurements(port, window, clock).kind, ReadOutResult::Kind::Completed);
  EXPECT_FALSE(sim.HeldHere(id)) << "let go after the pass";
  // Another program reads meanwhile: the answer handle, still open from
  // the pass, receives its answers too.
  for (std::uint64_t units : {990000ULL, 980000ULL, 970000ULL}) sim.QueueInput(id, EncodeAnswer(units));
  loop.RunPending();
  ASSERT_EQ(ReadOutMeasurements(port, window, clock).kind, ReadOutResult::Kind::Completed);
  for (int slot = 0; slot < kSlotCount; ++slot) {
    const Cell cell = SlotCell(slot);
    EXPECT_EQ(window.Cell(cell.column, cell.row), std::to_string(slot + 1) + ".0000") << "slot " << slot;
  }

  sim.SetHeldElsewhere(id, true);
  const std::size_t writes = sim.Writes(id).size();
  EXPECT_EQ(ReadOutMeasurements(port, window, clock).kind, ReadOutResult::Kind::Busy);
  EXPECT_EQ(sim.LastHoldWait(id), kBusyWaitMs);
  EXPECT_EQ(sim.Writes(id).size(), writes);
  delete device;
}

}  // namespace
}  // namespace stopwatch
