#include "stopwatch/read_out.h"

#include <gtest/gtest.h>

#include <string>

#include "stopwatch/wire_format.h"
#include "tests/support/fake_read_out_ports.h"
#include "tests/support/simulated_stopwatch.h"

namespace stopwatch {
namespace {

using Fault = SimulatedStopwatch::Fault;

// Stamps each slot with the number of answers the device has given so far,
// so that a stamp tells which slot it was taken at.
class SlotStampClock : public ClockLocalePort {
 public:
  SlotStampClock(const SimulatedStopwatch& device, std::string separator)
      : device_(device), separator_(std::move(separator)) {}
  LocalDateTime Now() override { return {2024, 5, 24, 13, 45, static_cast<int>(device_.Reads().size()), 180}; }
  std::string ShortDate(const LocalDateTime&) override { return "24.05.2024"; }
  std::string LongTime(const LocalDateTime& moment) override { return "13:45:" + std::to_string(moment.second); }
  std::string DecimalSeparator() override { return separator_; }

 private:
  const SimulatedStopwatch& device_;
  std::string separator_;
};

// Slot i holds i + 1 seconds and i times 0.0001 s, so every cell differs.
void FillSlots(SimulatedStopwatch& device) {
  for (int slot = 0; slot < kSlotCount; ++slot) device.SetSlotTime(slot, (slot + 1) * 10000ULL + slot);
}

std::string Expected(int slot) {
  return std::to_string(slot + 1) + "." + (slot < 10 ? "000" : "00") + std::to_string(slot);
}

// What an earlier click left in the window.
FakeReadOutWindow EarlierWindow() {
  FakeReadOutWindow window;
  for (int slot = 0; slot < kSlotCount; ++slot) {
    const Cell cell = SlotCell(slot);
    window.cells[{cell.column, cell.row}] = "old";
  }
  window.status = "Данные считаны 23.05.2024 в 09:00:00";
  window.cells[{5, 9}] = "23.05.2024";
  window.cells[{6, 9}] = "09:00:00";
  return window;
}

void ExpectAllShown(const FakeReadOutWindow& window) {
  for (int i = 0; i < kSlotCount; ++i) {
    const Cell cell = SlotCell(i);
    EXPECT_EQ(window.Cell(cell.column, cell.row), Expected(i)) << "slot " << i;
  }
}

class ReadOutTest : public ::testing::Test {
 protected:
  ReadOutTest() { FillSlots(device); }

  ReadOutResult Run() { return ReadOutMeasurements(device, window, clock); }

  SimulatedStopwatch device;
  FakeReadOutWindow window = EarlierWindow();
  SlotStampClock clock{device, "."};
};

TEST_F(ReadOutTest, FullPassFillsEverySlotCellAndStampsTheRead) {
  const ReadOutResult result = Run();
  EXPECT_EQ(result.kind, ReadOutResult::Kind::Completed);
  ExpectAllShown(window);
  EXPECT_EQ(window.Cell(1, 1), "1.0000");
  EXPECT_EQ(window.Cell(10, 1), "10.0009");
  EXPECT_EQ(window.Cell(1, 2), "11.0010");
  EXPECT_EQ(window.Cell(4, 9), "84.0083");
  EXPECT_EQ(window.status, "Данные считаны 24.05.2024 в 13:45:84");
  EXPECT_EQ(window.Cell(5, 9), "24.05.2024");
  EXPECT_EQ(window.Cell(6, 9), "13:45:84");

  ASSERT_EQ(device.Writes().size(), 84u);
  ASSERT_EQ(device.Reads().size(), 84u);
  EXPECT_EQ(device.Writes().front().bytes, (std::vector<std::uint8_t>{0x00, 0xAA}));
  EXPECT_EQ(device.Writes().back().bytes, (std::vector<std::uint8_t>{0x00, 0xFD}));
  for (int slot = 0; slot < kSlotCount; ++slot) {
    EXPECT_EQ(device.Writes()[slot].bytes, (std::vector<std::uint8_t>{0x00, std::uint8_t(0xAA + slot)}));
    EXPECT_TRUE(device.Writes()[slot].answerHandleOpen) << "answer handle prepared before write " << slot;
    EXPECT_TRUE(device.Writes()[slot].held) << "request " << slot << " sent while the pass held the stopwatch";
    EXPECT_EQ(device.Reads()[slot].count, kAnswerLength);
    EXPECT_EQ(device.Reads()[slot].timeoutMs, kAnswerTimeoutMs);
  }
  EXPECT_EQ(device.PrepareCount(), 84);
  EXPECT_EQ(device.CapabilityQueries(), 2 * 84) << "lengths are asked afresh for each use";
  EXPECT_EQ(device.LastHoldWait(), kBusyWaitMs);
  EXPECT_FALSE(device.Held()) << "let go once the pass is over";
}

TEST_F(ReadOutTest, CellTextsUseTheRegionalSeparatorAndTheFlag) {
  SlotStampClock commaClock(device, ",");
  device.SetSlotTime(0, 999999, 1);
  device.SetSlotTime(1, 0, 0);
  device.SetSlotTime(2, 0, 1);
  device.SetSlotTime(3, 123456500);
  ReadOutMeasurements(device, window, commaClock);
  EXPECT_EQ(window.Cell(1, 1), "100,0000");
  EXPECT_EQ(window.Cell(2, 1), "------");
  EXPECT_EQ(window.Cell(3, 1), "0,0001");
  EXPECT_EQ(window.Cell(4, 1), "12345,7");
}

TEST_F(ReadOutTest, ACompletedPassHandsBackItsReadAndShowsItOnlyWhenAsked) {
  device.SetSlotTime(0, 999999, 1);
  const FakeReadOutWindow before = window;
  const ReadOutResult result = ReadStopwatch(device, window, clock);
  ASSERT_EQ(result.kind, ReadOutResult::Kind::Completed);
  EXPECT_EQ(window.statusWrites + window.cellWrites, 0) << "nothing shown yet";

  const FinishedRead& read = result.read;
  ASSERT_EQ(read.answers.size(), 84u);
  ASSERT_EQ(read.cells.size(), 84u);
  // The answer as it came: the increment the cell text needed left it alone.
  EXPECT_EQ(read.answers[0], (RawAnswer{0, 9, 9, 9, 9, 9, 9, 0, 0, 0, 1}));
  EXPECT_EQ(read.cells[0], "100.0000");
  EXPECT_EQ(read.cells[83], Expected(83));
  EXPECT_EQ(read.readAt.second, 84) << "stamped once the last answer had come";
  EXPECT_EQ(read.time, "13:45:84");
  EXPECT_EQ(read.separator, ".");

  ShowRead(read, window);
  EXPECT_EQ(window.Cell(1, 1), "100.0000");
  EXPECT_EQ(window.Cell(4, 9), Expected(83));
  EXPECT_EQ(window.status, "Данные считаны 24.05.2024 в 13:45:84");
  EXPECT_EQ(window.Cell(6, 9), "13:45:84");
  EXPECT_NE(window.cells, before.cells);
}

TEST_F(ReadOutTest, WithoutAStopwatchTheClickChangesNothing) {
  device.SetPresent(false);
  const FakeReadOutWindow before = window;
  Run();
  EXPECT_EQ(window.cells, before.cells);
  EXPECT_EQ(window.status, before.status);
  EXPECT_EQ(window.statusWrites + window.cellWrites, 0);
  EXPECT_TRUE(device.Writes().empty());
}

TEST(ReadOut, APassThatStopsAnywhereLeavesTheTableAsItWasAndSaysWhy) {
  using Kind = ReadOutResult::Kind;
  struct Case {
    Fault fault;  // Fault::None: the stopwatch is unplugged (or forgotten) before the slot
    bool forgotten = false;
    Kind kind;
    std::string status;
    bool answerAwaited;  // the failing slot's request went out and its answer was read
  };
  const Case cases[] = {
      {Fault::Silent, false, Kind::NoAnswer, "Секундомер не отвечает", true},
      {Fault::WriteFails, false, Kind::ExchangeFailed, "Ошибка обмена с секундомером", false},
      {Fault::ReadFails, false, Kind::ExchangeFailed, "Ошибка обмена с секундомером", true},
      {Fault::ShortAnswer, false, Kind::ExchangeFailed, "Ошибка обмена с секундомером", true},
      {Fault::PrepareFails, false, Kind::ExchangeFailed, "Ошибка обмена с секундомером", false},
      {Fault::None, false, Kind::NotConnected, "Секундомер не подключен", false},
      {Fault::None, true, Kind::NotConnected, "Секундомер не подключен", false},
  };
  for (const bool fullTable : {false, true}) {
    for (const int slot : {0, 41, 83}) {
      for (const Case& c : cases) {
        SCOPED_TRACE("table " + std::string(fullTable ? "full" : "empty") + ", slot " + std::to_string(slot) + ", " +
                     c.status + " (fault " + std::to_string(static_cast<int>(c.fault)) +
                     (c.forgotten ? ", forgotten)" : ")"));
        SimulatedStopwatch device;
        FillSlots(device);
        if (c.fault != Fault::None) {
          device.SetFault(slot, c.fault, 10);
        } else if (slot > 0) {
          c.forgotten ? device.ForgetAfterSlot(slot - 1) : device.UnplugAfterSlot(slot - 1);
        } else if (c.forgotten) {
          continue;  // no stopwatch from the start: the click changes nothing (tested above)
        } else {
          device.SetReportLengths(0, kAnswerLength);  // no capabilities from the start
        }
        FakeReadOutWindow window = fullTable ? EarlierWindow() : FakeReadOutWindow();
        const FakeReadOutWindow before = window;
        SlotStampClock clock(device, ".");
        const ReadOutResult result = ReadOutMeasurements(device, window, clock);
        EXPECT_EQ(result.kind, c.kind);
        EXPECT_EQ(result.stoppedAtSlot, slot);
        EXPECT_EQ(window.status, c.status);
        EXPECT_EQ(window.statusWrites, 1);
        EXPECT_EQ(window.cells, before.cells) << "no slot cell and no stamp of the stopped pass";
        EXPECT_EQ(window.cellWrites, 0);
        EXPECT_EQ(device.Reads().size(), static_cast<std::size_t>(slot + (c.answerAwaited ? 1 : 0)))
            << "no read without a request, no request after the failure";
        EXPECT_FALSE(device.Held()) << "let go however the pass ends";
      }
    }
  }
}

TEST(ReadOut, AStopwatchAnotherProgramHoldsIsNotReadAndTheTableStaysAsItWas) {
  struct Case {
    bool heldElsewhere;
    ReadOutResult::Kind kind;
    std::string status;
  };
  for (const Case& c : {Case{true, ReadOutResult::Kind::Busy, "Секундомер занят другой программой"},
                        Case{false, ReadOutResult::Kind::ExchangeFailed, "Ошибка обмена с секундомером"}}) {
    SCOPED_TRACE(c.status);
    SimulatedStopwatch device;
    FillSlots(device);
    c.heldElsewhere ? device.SetHeldElsewhere(true) : device.SetHoldFails(true);
    FakeReadOutWindow window = EarlierWindow();
    const FakeReadOutWindow before = window;
    SlotStampClock clock(device, ".");
    const ReadOutResult result = ReadOutMeasurements(device, window, clock);
    EXPECT_EQ(result.kind, c.kind);
    EXPECT_EQ(window.status, c.status);
    EXPECT_EQ(window.cells, before.cells) << "no slot cell and no stamp";
    EXPECT_EQ(window.cellWrites, 0);
    EXPECT_TRUE(device.Writes().empty()) << "not one request to a stopwatch another program reads";
    EXPECT_EQ(device.LastHoldWait(), kBusyWaitMs) << "the other program's pass is waited for first";
  }
}

TEST_F(ReadOutTest, LongerDeclaredReportsStayInsideTheBuffers) {
  device.SetReportLengths(65, 65);
  device.SetReportId(0x55);
  Run();
  ExpectAllShown(window);
  EXPECT_EQ(device.BoundsViolations(), 0);
  ASSERT_EQ(device.Writes().size(), 84u);
  for (int slot = 0; slot < kSlotCount; ++slot) {
    const auto& write = device.Writes()[slot];
    ASSERT_EQ(write.bytes.size(), 65u);
    EXPECT_GE(write.bufferSize, 65u);
    EXPECT_EQ(write.bytes[1], 0xAA + slot);
    for (std::size_t b = 2; b < write.bytes.size(); ++b) EXPECT_EQ(write.bytes[b], 0) << "request byte " << b;
    EXPECT_EQ(device.Reads()[slot].count, 65u);
    EXPECT_GE(device.Reads()[slot].bufferSize, 65u);
  }
}

TEST_F(ReadOutTest, DeclaredShortReportsNeverReachTheGrid) {
  device.SetReportLengths(1, 8);
  const ReadOutResult result = Run();
  EXPECT_EQ(device.BoundsViolations(), 0);
  EXPECT_EQ(result.kind, ReadOutResult::Kind::ExchangeFailed);
  EXPECT_EQ(window.status, "Ошибка обмена с секундомером");
  EXPECT_EQ(window.cellWrites, 0);
}

TEST_F(ReadOutTest, AnAnswerHandleOpenedAfterTheWriteMissesTheAnswer) {
  // The simulated device, like the system, drops an answer no handle waits for.
  std::vector<std::uint8_t> request = MakeRequest(0, 2);
  std::size_t written = 0;
  ASSERT_TRUE(device.WriteReport(request, 2, written));
  ASSERT_TRUE(device.PrepareAnswer());
  std::vector<std::uint8_t> answer(kAnswerLength);
  std::size_t read = 0;
  EXPECT_EQ(device.ReadReportTimeout(answer, kAnswerLength, read, kAnswerTimeoutMs), ReadOutcome::TimedOut);
}

}  // namespace
}  // namespace stopwatch
