// vorda2-emulator: runs a program with a virtual VORDA-2 stopwatch plugged
// in, reached through the real Linux HID path (udev, sysfs, /dev/hidrawN,
// udev notices) as an umockdev testbed.
//
//   vorda2-emulator [options] [-- PROGRAM [ARGS...]]
//
// Commands on standard input or the control pipe (one per line), or
// signals while it runs:
//   u / SIGUSR1   unplug the stopwatch        p / SIGUSR2   plug it in again
//   r             unplug and plug in again    s             silent on/off
//   f             failing on/off              q             quit
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "tools/vorda2-emulator/stopwatch_slots.h"
#include "tools/vorda2-emulator/virtual_hidraw_linux.h"
#include "tools/vorda2-emulator/virtual_stopwatch.h"

namespace {

using lumetra::emulator::Slots;
using lumetra::virtual_hid::HidrawDevice;
using lumetra::virtual_hid::Report;
using lumetra::virtual_hid::Testbed;

constexpr const char* kUsage =
    "usage: vorda2-emulator [--times FILE] [--seed N] [--silent] [--failing] [--unplugged]\n"
    "                       [--no-manufacturer] [-- PROGRAM [ARGS...]]\n"
    "\n"
    "Runs PROGRAM with a virtual VORDA-2 stopwatch (USB 04d8:f67a) that it finds through\n"
    "udev and /dev/hidraw*. Without PROGRAM it prints the environment another program\n"
    "needs to see the stopwatch and runs until 'q' or a termination signal.\n"
    "\n"
    "  --times FILE  the 84 measurements, one slot per line: a time in seconds with an\n"
    "                optional increment flag (\"12.3456\", \"99.9999 1\"), or the answer's\n"
    "                10 (or 11, report ID 00 first) bytes in hex; '#' starts a comment\n"
    "  --seed N      generate plausible measurements from this seed (default 1)\n"
    "  --silent      the stopwatch takes requests but never answers\n"
    "  --failing     the stopwatch fails every request (write error EIO)\n"
    "  --unplugged   start with the stopwatch unplugged\n"
    "  --no-manufacturer  the stopwatch has no manufacturer string, so that the kernel's\n"
    "                name of the HID device (HID_NAME) is its product string alone\n"
    "\n"
    "Commands on standard input, one per line, or signals:\n"
    "  u (SIGUSR1) unplug   p (SIGUSR2) plug in   r replug   s silent on/off\n"
    "  f failing on/off     q quit (ends PROGRAM)\n"
    "The same commands may be written to the named pipe whose path PROGRAM finds in\n"
    "VORDA2_EMULATOR_CONTROL (a program under Wine can write there, not send signals).\n";

struct Options {
  std::string times_file;
  std::uint32_t seed = 1;
  bool silent = false;
  bool failing = false;
  bool unplugged = false;
  bool with_manufacturer = true;
  std::vector<char*> program;
};

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--") {
      for (int j = i + 1; j < argc; ++j) options.program.push_back(argv[j]);
      break;
    }
    if (arg == "--times" && i + 1 < argc) {
      options.times_file = argv[++i];
    } else if (arg == "--seed" && i + 1 < argc) {
      options.seed = static_cast<std::uint32_t>(std::strtoul(argv[++i], nullptr, 10));
    } else if (arg == "--silent") {
      options.silent = true;
    } else if (arg == "--failing") {
      options.failing = true;
    } else if (arg == "--unplugged") {
      options.unplugged = true;
    } else if (arg == "--no-manufacturer") {
      options.with_manufacturer = false;
    } else {
      return false;
    }
  }
  if (!options.program.empty()) options.program.push_back(nullptr);
  return true;
}

// The request for slot 83, the last one a read-out asks for.
constexpr std::uint8_t kLastSlotRequest = stopwatch::kFirstSlotRequest + stopwatch::kSlotCount - 1;

class Stopwatch {
 public:
  Stopwatch(Testbed& testbed, const Slots& slots, const Options& options)
      : testbed_(testbed),
        slots_(slots),
        with_manufacturer_(options.with_manufacturer),
        silent_(options.silent),
        failing_(options.failing) {}

  void Plug() {
    if (device_ && device_->Plugged()) return;
    device_ = testbed_.Plug(lumetra::emulator::StopwatchSpec(with_manufacturer_), /*announce=*/false);
    device_->SetWriteHandler([this](std::span<const std::uint8_t> written) {
      std::vector<Report> answers;
      if (silent_) return answers;
      if (const auto answer = lumetra::emulator::AnswerRequest(slots_, {written.begin(), written.end()})) {
        answers.emplace_back(answer->begin(), answer->end());
        // The end of a read-out, for whoever watches (the replug soak does).
        if (written.size() >= 2 && written[1] == kLastSlotRequest) Say("answered the last slot");
      }
      return answers;
    });
    device_->SetWriteError(failing_ ? EIO : 0);
    // Only a device that answers is announced: a program may open it at once.
    testbed_.Announce(*device_);
    Say("plugged in as " + device_->Node());
  }

  void Unplug() {
    if (!device_ || !device_->Plugged()) return;
    testbed_.Unplug(*device_);
    Say("unplugged");
  }

  void ToggleSilent() {
    silent_ = !silent_;
    Say(silent_ ? "silent" : "answering");
  }

  void ToggleFailing() {
    failing_ = !failing_;
    if (device_) device_->SetWriteError(failing_ ? EIO : 0);
    Say(failing_ ? "failing" : "working");
  }

 private:
  static void Say(const std::string& what) { std::fprintf(stderr, "vorda2-emulator: stopwatch %s\n", what.c_str()); }

  Testbed& testbed_;
  const Slots slots_;
  const bool with_manufacturer_;
  std::atomic<bool> silent_;
  bool failing_;
  std::shared_ptr<HidrawDevice> device_;
};

pid_t StartProgram(std::vector<char*>& program, const sigset_t& blocked) {
  const pid_t child = fork();
  if (child == 0) {
    sigprocmask(SIG_UNBLOCK, &blocked, nullptr);
    const int null = open("/dev/null", O_RDONLY);
    if (null >= 0) dup2(null, STDIN_FILENO);
    execvp(program[0], program.data());
    std::fprintf(stderr, "vorda2-emulator: cannot run %s: %s\n", program[0], std::strerror(errno));
    _exit(127);
  }
  return child;
}

// Commands arriving in pieces on one descriptor, taken a line at a time.
class CommandLines {
 public:
  explicit CommandLines(int fd) : fd_(fd) {}
  int Fd() const { return fd_; }
  // Reads what is there and runs every complete line; false at the end of input.
  template <typename Run>
  bool ReadAndRun(Run&& run) {
    char chunk[256];
    const ssize_t got = read(fd_, chunk, sizeof chunk);
    if (got <= 0) return got < 0 && (errno == EAGAIN || errno == EINTR);
    pending_.append(chunk, static_cast<std::size_t>(got));
    for (std::size_t nl; (nl = pending_.find('\n')) != std::string::npos;) {
      const std::string command = pending_.substr(0, nl);
      pending_.erase(0, nl + 1);
      run(command);
    }
    return true;
  }

 private:
  int fd_;
  std::string pending_;
};

// The control pipe in the testbed's folder (which goes with the testbed).
// Opened for writing too, so that it never reads as ended when a writer
// closes it.
int OpenControlPipe(const std::string& path) {
  if (mkfifo(path.c_str(), 0600) != 0) return -1;
  return open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  Slots slots = lumetra::emulator::GenerateSlots(options.seed);
  if (!options.times_file.empty()) {
    std::ifstream file(options.times_file);
    if (!file) {
      std::fprintf(stderr, "vorda2-emulator: cannot read %s\n", options.times_file.c_str());
      return 2;
    }
    std::stringstream text;
    text << file.rdbuf();
    const auto parsed = lumetra::emulator::ParseSlots(text.str());
    if (!parsed.slots) {
      std::fprintf(stderr, "vorda2-emulator: %s: %s\n", options.times_file.c_str(), parsed.error.c_str());
      return 2;
    }
    slots = *parsed.slots;
  }

  // umockdev only sends device notices from a process that runs under its
  // preload library, and the program inherits the library from here.
  lumetra::virtual_hid::ReexecUnderUmockdevPreload(argv);

  // Signals are taken through a descriptor; blocked before any thread starts
  // so that none of the testbed's threads receives them.
  sigset_t handled;
  sigemptyset(&handled);
  for (int s : {SIGUSR1, SIGUSR2, SIGCHLD, SIGINT, SIGTERM, SIGHUP}) sigaddset(&handled, s);
  sigprocmask(SIG_BLOCK, &handled, nullptr);
  const int signals = signalfd(-1, &handled, SFD_CLOEXEC);

  Testbed testbed;
  Stopwatch stopwatch(testbed, slots, options);
  if (!options.unplugged) stopwatch.Plug();

  const std::string control_path = testbed.root_dir() + "/control";
  const int control = OpenControlPipe(control_path);
  if (control < 0) {
    std::fprintf(stderr, "vorda2-emulator: cannot make %s: %s\n", control_path.c_str(), std::strerror(errno));
    return 1;
  }
  setenv("VORDA2_EMULATOR_CONTROL", control_path.c_str(), 1);

  pid_t child = -1;
  if (!options.program.empty()) {
    child = StartProgram(options.program, handled);
  } else {
    std::printf("export UMOCKDEV_DIR=%s\nexport LD_PRELOAD=%s\nexport VORDA2_EMULATOR_CONTROL=%s\n",
                std::getenv("UMOCKDEV_DIR"), std::getenv("LD_PRELOAD"), control_path.c_str());
    std::fflush(stdout);
  }

  int exit_code = 0;
  bool running = true;
  const auto run = [&](const std::string& command) {
    if (command == "u")
      stopwatch.Unplug();
    else if (command == "p")
      stopwatch.Plug();
    else if (command == "r")
      stopwatch.Unplug(), stopwatch.Plug();
    else if (command == "s")
      stopwatch.ToggleSilent();
    else if (command == "f")
      stopwatch.ToggleFailing();
    else if (command == "q")
      running = false;
    else if (!command.empty())
      std::fprintf(stderr, "vorda2-emulator: commands are u p r s f q\n");
  };
  CommandLines input(STDIN_FILENO);
  CommandLines pipe(control);
  bool reading_input = true;
  while (running) {
    pollfd fds[3] = {{signals, POLLIN, 0}, {reading_input ? input.Fd() : -1, POLLIN, 0}, {pipe.Fd(), POLLIN, 0}};
    if (poll(fds, 3, -1) < 0 && errno != EINTR) break;
    if (fds[0].revents & POLLIN) {
      signalfd_siginfo info{};
      if (read(signals, &info, sizeof info) == sizeof info) {
        switch (info.ssi_signo) {
          case SIGUSR1: stopwatch.Unplug(); break;
          case SIGUSR2: stopwatch.Plug(); break;
          case SIGCHLD: {
            int status = 0;
            if (child > 0 && waitpid(child, &status, WNOHANG) == child) {
              exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
              child = -1;
              running = false;
            }
            break;
          }
          default: running = false; break;
        }
      }
    }
    // End of input: signals and the pipe only from now on.
    if (fds[1].revents & (POLLIN | POLLHUP)) reading_input = input.ReadAndRun(run);
    if (fds[2].revents & POLLIN) pipe.ReadAndRun(run);
  }
  if (child > 0) {
    // Ended from here ('q' or a signal to the emulator): the program's end
    // by that SIGTERM is the expected one, not a failure.
    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    const bool endedByUs = WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM;
    exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : endedByUs ? 0 : 128 + WTERMSIG(status);
  }
  return exit_code;
}
