// The journal of reads on this machine's disk: writing one entry, flushed
// to the disk with its folder as the program does after every read (goal:
// under 5 ms), rewriting an entry's times set aside, and listing a journal of 10,000 entries, each read and
// checked (the part of opening the journal window below the window).
// Both in folders under the current one, which should be on the disk the
// user's documents are on, not in memory.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "stopwatch/journal/journal_folder.h"
#include "stopwatch/read_out.h"
#include "tests/support/fake_read_out_ports.h"
#include "tests/support/simulated_stopwatch.h"

namespace stopwatch::journal {
namespace {

namespace fs = std::filesystem;

FinishedRead SampleRead() {
  SimulatedStopwatch device;
  for (int slot = 0; slot < kSlotCount; ++slot)
    device.SetSlotTime(slot, 1234567ULL * static_cast<unsigned long long>(slot + 1) % 999999999ULL, slot % 2);
  FakeReadOutWindow window;
  FixedClock clock("24.05.2024", "13:45:07", ",");
  return ReadStopwatch(device, window, clock).read;
}

// The next second after `at`, so that each entry gets a name of its own.
void NextSecond(LocalDateTime& at) {
  if (++at.second < 60) return;
  at.second = 0;
  if (++at.minute < 60) return;
  at.minute = 0;
  if (++at.hour < 24) return;
  at.hour = 0;
  ++at.day;  // within May, for the benchmark's counts
}

void BM_WriteEntryFlushed(benchmark::State& state) {
  const fs::path folder = fs::absolute("journal-bench-write");
  fs::remove_all(folder);
  FinishedRead read = SampleRead();
  read.readAt = {2024, 5, 1, 0, 0, 0, 180};
  for (auto _ : state) {
    NextSecond(read.readAt);
    benchmark::DoNotOptimize(WriteEntry(folder.string(), read));
  }
  fs::remove_all(folder);
}
BENCHMARK(BM_WriteEntryFlushed)->Unit(benchmark::kMillisecond);

// A time set aside or taken back on a table whose entry there is: the file
// read and checked again, and replaced, flushed, by itself with the other
// times set aside (the same goal: the user waits for it at every click).
void BM_RewriteExclusionsFlushed(benchmark::State& state) {
  const fs::path folder = fs::absolute("journal-bench-rewrite");
  fs::remove_all(folder);
  const FinishedRead read = SampleRead();
  const std::string path = (folder / WriteEntry(folder.string(), read)).string();
  const Entry entry = *ReadEntryFile(path).entry;
  ExcludedSlots excluded;
  int slot = 0;
  for (auto _ : state) {
    if (excluded.Contains(slot)) {
      excluded.Restore(slot);
    } else {
      excluded.Exclude(slot);
    }
    slot = (slot + 17) % kSlotCount;
    RewriteExclusions(path, entry, excluded);
  }
  fs::remove_all(folder);
}
BENCHMARK(BM_RewriteExclusionsFlushed)->Unit(benchmark::kMillisecond);

void BM_ListTenThousandEntries(benchmark::State& state) {
  const fs::path folder = fs::absolute("journal-bench-list");
  fs::remove_all(folder);
  fs::create_directories(folder);
  FinishedRead read = SampleRead();
  read.readAt = {2024, 5, 1, 0, 0, 0, 180};
  // Written straight, without the flush: the listing is what is measured.
  for (int i = 0; i < 10000; ++i) {
    NextSecond(read.readAt);
    std::ofstream(folder / EntryFileName(read.readAt), std::ios::binary) << EntryText(read);
  }
  for (auto _ : state) {
    const std::vector<ListedEntry> listed = ListEntries(folder.string());
    if (listed.size() != 10000 || !listed.front().entry) state.SkipWithError("the entries do not list");
    benchmark::DoNotOptimize(listed);
  }
  fs::remove_all(folder);
}
// The listing reads on every core: the time is the wall clock's, the CPU
// time that of all the process's threads.
BENCHMARK(BM_ListTenThousandEntries)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace
}  // namespace stopwatch::journal
