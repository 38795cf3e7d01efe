// Opening the journal window over a journal of 10,000 reads, from the
// menu's choice to the window painted: every entry listed, read and
// checked, its row made and put in the list (goal: under 300 ms). The
// window on Qt's offscreen platform; the journal in a folder under the
// current one, which should be on the disk the user's documents are on.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/form1.h"
#include "app/journal/journal_form.h"
#include "app/kit/backend.h"
#include "app/kit/desktop.h"
#include "app/kit/string_grid.h"
#include "app/startup/startup.h"
#include "stopwatch/journal/journal_folder.h"
#include "tests/support/fake_read_out_ports.h"
#include "tests/support/simulated_stopwatch.h"

namespace {

namespace fs = std::filesystem;
constexpr int kEntries = 10000;

// The benchmark's Documents folder; no file manager is opened.
class BenchDesktop final : public kit::Desktop {
 public:
  explicit BenchDesktop(std::string documents) : documents_(std::move(documents)) {}
  std::string DocumentsFolder() override { return documents_; }
  bool ShowFolder(const std::string&) override { return false; }

 private:
  std::string documents_;
};

void WriteJournal(const fs::path& folder) {
  stopwatch::SimulatedStopwatch device;
  for (int slot = 0; slot < stopwatch::kSlotCount; ++slot)
    device.SetSlotTime(slot, 1234567ULL * static_cast<unsigned long long>(slot + 1) % 999999999ULL, slot % 2);
  stopwatch::FakeReadOutWindow window;
  stopwatch::FixedClock clock("24.05.2024", "13:45:07", ",");
  stopwatch::FinishedRead read = stopwatch::ReadStopwatch(device, window, clock).read;
  fs::create_directories(folder);
  // Written straight, without the flush: opening the window is what is measured.
  for (int i = 0; i < kEntries; ++i) {
    read.readAt = {2024, 1 + i / (28 * 24 * 60) % 12, 1 + i / (24 * 60) % 28, i / 60 % 24, i % 60, 0, 180};
    std::ofstream(folder / stopwatch::journal::EntryFileName(read.readAt), std::ios::binary)
        << stopwatch::journal::EntryText(read);
  }
}

void BM_OpenJournalWindowOverTenThousandReads(benchmark::State& state) {
  const fs::path documents = fs::absolute("journal-window-bench");
  fs::remove_all(documents);
  WriteJournal(documents / "Lumetra");
  BenchDesktop desktop(documents.string());
  kit::ScopedDesktop installed(desktop);
  const std::unique_ptr<TForm1> form = app::CreateMainWindow();
  for (auto _ : state) {
    TJournalForm journal(form.get());
    journal.ShowJournal();
    kit::Application::Instance()->ProcessMessages();
    if (journal.Rows().size() != kEntries) state.SkipWithError("not every read is listed");
  }
  fs::remove_all(documents);
}
// The time is the wall clock's, the CPU time that of all the process's
// threads (the listing reads on every core).
BENCHMARK(BM_OpenJournalWindowOverTenThousandReads)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  kit::Application application(argc, argv);
  app::PrepareApplication(application);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
