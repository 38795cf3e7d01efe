// "Считать данные" on the window: the simulated stopwatch's 84 times reach
// the grid through the HID layer, and a silent one does not hold the window.
#include <chrono>

#include "app/adapters/regional_settings.h"
#include "app/kit/button.h"
#include "stopwatch/read_out.h"
#include "tests/app/window_fixture.h"

namespace {

using namespace std::chrono_literals;

std::array<std::uint64_t, 84> SampleTimes() {
  std::array<std::uint64_t, 84> times{};
  for (std::size_t i = 0; i < times.size(); ++i) times[i] = 100000 + 10001 * i;  // 10.0000 s to 93.0083 s
  times[7] = 0;                                                                  // an empty slot
  return times;
}

std::string Seconds(std::uint64_t units, const std::string& separator) {
  std::string digits = std::to_string(units);
  while (digits.size() < 5) digits.insert(digits.begin(), '0');
  return digits.substr(0, digits.size() - 4) + separator + digits.substr(digits.size() - 4);
}

TEST_F(WindowOnSim, ReadFillsEverySlotCellAndStampsTheStatusLine) {
  const auto id = sim.AddDevice(StopwatchConfig());
  Start();
  ASSERT_NE(StopwatchDevice, nullptr);
  const auto times = SampleTimes();
  AnswerWith(id, times);

  form->Button3->click();

  const std::string separator = app::RegionalSettings().DecimalSeparator();
  for (int slot = 0; slot < 84; ++slot) {
    const std::string expected = times[slot] == 0 ? "------" : Seconds(times[slot], separator);
    // Every time here is under 100 s: four decimals.
    EXPECT_EQ(Cell(slot % 10 + 1, slot / 10 + 1), expected) << "slot " << slot;
  }
  const auto writes = sim.Writes(id);
  ASSERT_EQ(writes.size(), 84u);
  EXPECT_EQ(writes.front(), (std::vector<BYTE>{0x00, 0xAA}));
  EXPECT_EQ(writes.back(), (std::vector<BYTE>{0x00, 0xFD}));
  const QString status = form->StaticText1->text();
  EXPECT_TRUE(status.startsWith("Данные считаны ")) << status.toStdString();
  EXPECT_TRUE(status.contains(" в ")) << status.toStdString();
  EXPECT_EQ(status.toStdString(), "Данные считаны " + Cell(5, 9) + " в " + Cell(6, 9));
}

TEST_F(WindowOnSim, WithoutStopwatchTheClickChangesNothing) {
  sim.AddDevice(MouseConfig());
  Start();
  form->StringGrid1->setCell(3, 3, "12,5");
  form->Button3->click();
  EXPECT_EQ(Cell(3, 3), "12,5");
  EXPECT_EQ(Cell(1, 1), "");
  EXPECT_TRUE(form->StaticText1->text().isEmpty());
}

TEST_F(WindowOnSim, SilentStopwatchEndsTheReadWithAMessageWithinASecond) {
  sim.AddDevice(StopwatchConfig());
  Start();
  ASSERT_NE(StopwatchDevice, nullptr);
  const auto started = std::chrono::steady_clock::now();
  form->Button3->click();
  const auto took = std::chrono::steady_clock::now() - started;
  EXPECT_EQ(form->StaticText1->text(), "Секундомер не отвечает");
  EXPECT_EQ(Cell(1, 1), "");
  // One answer is waited for, then the pass ends: not 84 time-outs.
  EXPECT_LT(took, 3s);
}

TEST_F(WindowOnSim, StopwatchUnpluggedBetweenTwoReadsLeavesTheGridAsItWas) {
  const auto id = sim.AddDevice(StopwatchConfig());
  Start();
  AnswerWith(id, SampleTimes());
  form->Button3->click();
  const std::string slot0 = Cell(1, 1);
  const QString status = form->StaticText1->text();

  Unplug(id);
  form->Button3->click();
  EXPECT_EQ(Cell(1, 1), slot0);
  EXPECT_EQ(form->StaticText1->text(), status);
}

}  // namespace
