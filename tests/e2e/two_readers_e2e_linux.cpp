// Run under vorda2-emulator: two programs press "Считать данные" on the one
// stopwatch at the same moment, as two windows would (the same read-out
// over the checked-out stopwatch, on the platform's own HID services). Each
// must end with the stopwatch's exact table, or with its table untouched and
// the busy text; never with another program's answers in its table.
//
//   two_readers_e2e TIMES-FILE             starts two readers and runs the rounds
//   two_readers_e2e --reader TIMES-FILE    one reader, driven through its standard streams
//
// A reader finds and checks out the stopwatch, says "ready PATH", then runs
// one read-out for each 'g' it reads and answers each with one line: "ok
// completed", "ok busy", or "bad ..." saying what was wrong. The rounds
// start both readers with one write each, back to back; one round is run
// while this program itself holds the stopwatch, for longer than a reader
// waits.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "hid/hid_controller.h"
#include "hid/service_table.h"
#include "stopwatch/cell_text.h"
#include "stopwatch/hid_stopwatch_port.h"
#include "stopwatch/identity.h"
#include "stopwatch/read_out.h"
#include "tests/support/fake_read_out_ports.h"
#include "tests/support/test_event_loop.h"
#include "tools/vorda2-emulator/stopwatch_slots.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;

constexpr int kConcurrentRounds = 12;
constexpr char kOld[] = "old";

// --- The reader ---

// What each slot must show, from the emulator's own measurements.
std::vector<std::string> ExpectedTexts(const std::string& timesFile) {
  std::ifstream in(timesFile);
  std::stringstream text;
  text << in.rdbuf();
  const auto parsed = lumetra::emulator::ParseSlots(text.str());
  if (!parsed.slots) return {};
  std::vector<std::string> texts;
  for (const auto& slot : *parsed.slots) {
    std::array<std::uint8_t, stopwatch::kAnswerLength> answer{};  // report ID 0 first
    std::copy(slot.begin(), slot.end(), answer.begin() + 1);
    texts.push_back(stopwatch::CellTextForAnswer(stopwatch::Answer(answer), "."));
  }
  return texts;
}

struct Finder {
  TJvHidDeviceController* controller = nullptr;
  TJvHidDevice* stopwatch = nullptr;
  bool Enumerate(TJvHidDevice* device, const std::int32_t index) {
    const HIDD_ATTRIBUTES& attributes = device->Attributes();
    if (!stopwatch::IsStopwatch(device->ProductString(), attributes.VendorID, attributes.ProductID)) return true;
    controller->CheckOutDevice(stopwatch, index);
    return false;
  }
};

// What an earlier read left in the window.
stopwatch::FakeReadOutWindow EarlierWindow() {
  stopwatch::FakeReadOutWindow window;
  for (int slot = 0; slot < stopwatch::kSlotCount; ++slot) {
    const stopwatch::Cell cell = stopwatch::SlotCell(slot);
    window.cells[{cell.column, cell.row}] = kOld;
  }
  window.cells[{5, 9}] = kOld;
  window.cells[{6, 9}] = kOld;
  window.status = kOld;
  return window;
}

std::string Judge(const stopwatch::ReadOutResult& result, const stopwatch::FakeReadOutWindow& window,
                  const std::vector<std::string>& expected) {
  using Kind = stopwatch::ReadOutResult::Kind;
  if (result.kind == Kind::Busy) {
    if (window.status != stopwatch::kStatusBusy) return "bad busy, status \"" + window.status + "\"";
    if (window.cells != EarlierWindow().cells) return "bad busy, the table changed";
    return "ok busy";
  }
  if (result.kind != Kind::Completed) return "bad pass ended with \"" + window.status + "\"";
  std::string wrong;
  for (int slot = 0; slot < stopwatch::kSlotCount; ++slot) {
    const stopwatch::Cell cell = stopwatch::SlotCell(slot);
    const std::string shown = window.Cell(cell.column, cell.row);
    if (shown != expected[static_cast<std::size_t>(slot)]) {
      wrong += " slot " + std::to_string(slot) + " shows " + shown + " (expected " +
               expected[static_cast<std::size_t>(slot)] + ")";
    }
  }
  if (!wrong.empty()) return "bad table:" + wrong;
  if (window.status != "Данные считаны 24.05.2024 в 13:45:00") return "bad status \"" + window.status + "\"";
  return "ok completed";
}

int RunReader(const std::string& timesFile) {
  const std::vector<std::string> expected = ExpectedTexts(timesFile);
  if (expected.size() != stopwatch::kSlotCount) {
    std::printf("bad measurements file\n");
    return 2;
  }
  simulated_hid::TestEventLoop loop;
  TJvHidDeviceController controller(nullptr);
  Finder finder{&controller};
  controller.OnEnumerate = TJvHidEnumerateEvent(&finder, &Finder::Enumerate);
  for (auto start = std::chrono::steady_clock::now();
       finder.stopwatch == nullptr && std::chrono::steady_clock::now() - start < 15s;) {
    loop.RunPending();
    controller.EnumerateDevices();
    if (finder.stopwatch == nullptr) std::this_thread::sleep_for(50ms);
  }
  if (finder.stopwatch == nullptr) {
    std::printf("bad no stopwatch found\n");
    return 1;
  }
  std::printf("ready %s\n", finder.stopwatch->PnPInfo()->DevicePath.c_str());
  std::fflush(stdout);

  TJvHidDevice* const& device = finder.stopwatch;
  stopwatch::FixedClock clock("24.05.2024", "13:45:00", ".");
  for (char command = 0; read(STDIN_FILENO, &command, 1) == 1 && command == 'g';) {
    stopwatch::HidStopwatchPort port(device);
    stopwatch::FakeReadOutWindow window = EarlierWindow();
    const stopwatch::ReadOutResult result = stopwatch::ReadOutMeasurements(port, window, clock);
    std::printf("%s\n", Judge(result, window, expected).c_str());
    std::fflush(stdout);
  }
  delete finder.stopwatch;
  return 0;
}

// --- The rounds ---

struct Reader {
  pid_t pid = -1;
  FILE* out = nullptr;  // its lines
  int in = -1;          // its commands
};

Reader StartReader(const char* self, const char* timesFile) {
  int commands[2];
  int lines[2];
  Reader reader;
  // Close-on-exec: the other reader must not keep this one's input open.
  if (pipe2(commands, O_CLOEXEC) != 0 || pipe2(lines, O_CLOEXEC) != 0) return reader;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, commands[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, lines[1], STDOUT_FILENO);
  for (int fd : {commands[0], commands[1], lines[0], lines[1]}) posix_spawn_file_actions_addclose(&actions, fd);
  const char* argv[] = {self, "--reader", timesFile, nullptr};
  if (posix_spawn(&reader.pid, self, &actions, nullptr, const_cast<char**>(argv), environ) != 0) reader.pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  close(commands[0]);
  close(lines[1]);
  reader.in = commands[1];
  reader.out = fdopen(lines[0], "r");
  return reader;
}

std::string Line(Reader& reader) {
  char line[4096];
  if (reader.out == nullptr || std::fgets(line, sizeof line, reader.out) == nullptr) return "bad no answer";
  std::string text(line);
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

void Go(Reader& reader) { [[maybe_unused]] const ssize_t ignored = write(reader.in, "g", 1); }

int failures = 0;

void Check(bool ok, const std::string& what) {
  if (!ok) {
    ++failures;
    std::fprintf(stderr, "FAILED: %s\n", what.c_str());
  }
}

int RunRounds(const char* self, const char* timesFile) {
  std::array<Reader, 2> readers{StartReader(self, timesFile), StartReader(self, timesFile)};
  std::string path;
  for (Reader& reader : readers) {
    const std::string ready = Line(reader);
    Check(ready.rfind("ready ", 0) == 0, "reader start: " + ready);
    path = ready.size() > 6 ? ready.substr(6) : "";
  }
  int completed = 0;
  int busy = 0;
  if (failures == 0) {
    for (int round = 0; round < kConcurrentRounds; ++round) {
      // Both blocked on their input: one write each starts both passes.
      for (Reader& reader : readers) Go(reader);
      for (std::size_t r = 0; r < readers.size(); ++r) {
        const std::string said = Line(readers[r]);
        Check(said.rfind("ok ", 0) == 0,
              "round " + std::to_string(round) + ", reader " + std::to_string(r) + ": " + said);
        completed += said == "ok completed" ? 1 : 0;
        busy += said == "ok busy" ? 1 : 0;
      }
    }
    Check(completed > 0, "at least one pass read the stopwatch");

    // Held by another program (this one) for longer than a reader waits.
    const hid::ServiceTable::Hold holds = hid::PlatformHoldServices();
    HANDLE hold = holds.HoldDevice(path.c_str(), 0);
    Check(hold != INVALID_HANDLE_VALUE, "this program holds " + path);
    const auto start = std::chrono::steady_clock::now();
    Go(readers[0]);
    const std::string said = Line(readers[0]);
    const auto waited = std::chrono::steady_clock::now() - start;
    Check(said == "ok busy", "while held elsewhere: " + said);
    Check(waited >= 1900ms && waited < 10s, "the reader waited about 2 s");
    holds.ReleaseDeviceHold(hold);
    // And reads again once it is free.
    Go(readers[0]);
    Check(Line(readers[0]) == "ok completed", "read again once free");
  }
  for (Reader& reader : readers) {
    if (reader.in >= 0) close(reader.in);
    int status = 0;
    if (reader.pid > 0) waitpid(reader.pid, &status, 0);
    Check(reader.pid > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0, "reader ended cleanly");
    if (reader.out != nullptr) std::fclose(reader.out);
  }
  std::printf("two readers: %d passes read the table, %d found the stopwatch busy\n", completed, busy);
  std::printf("%s\n", failures == 0 ? "two readers: 1 passed, 0 failed" : "two readers: 0 passed, 1 failed");
  return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--reader") == 0) return RunReader(argv[2]);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s TIMES-FILE\n", argv[0]);
    return 2;
  }
  return RunRounds("/proc/self/exe", argv[1]);
}
