// Program overhead of one read-out pass over all 84 slots on a stopwatch
// that answers at once: everything the pass costs besides the device's own
// latency (goal: at most 2 ms per pass).
#include <benchmark/benchmark.h>

#include "stopwatch/cell_text.h"
#include "stopwatch/read_out.h"
#include "tests/support/fake_read_out_ports.h"
#include "tests/support/simulated_stopwatch.h"

namespace stopwatch {
namespace {

void BM_FullReadOutPass(benchmark::State& state) {
  SimulatedStopwatch device;
  // A spread of magnitudes so every formatting band is exercised.
  for (int slot = 0; slot < kSlotCount; ++slot) {
    device.SetSlotTime(slot, 1234567ULL * static_cast<unsigned long long>(slot + 1) % 999999999ULL, slot % 2);
  }
  FakeReadOutWindow window;
  FixedClock clock("24.05.2024", "13:45:07", ",");
  for (auto _ : state) {
    device.ClearLog();
    const ReadOutResult result = ReadOutMeasurements(device, window, clock);
    benchmark::DoNotOptimize(result);
  }
  state.counters["slots/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kSlotCount, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FullReadOutPass)->Unit(benchmark::kMicrosecond);

void BM_CellTextWidestAnswer(benchmark::State& state) {
  for (auto _ : state) {
    std::uint8_t answer[kAnswerLength] = {0, 255, 255, 255, 255, 255, 255, 255, 255, 255, 1};
    benchmark::DoNotOptimize(CellTextForAnswer(Answer(answer, kAnswerLength), ","));
  }
}
BENCHMARK(BM_CellTextWidestAnswer);

}  // namespace
}  // namespace stopwatch
