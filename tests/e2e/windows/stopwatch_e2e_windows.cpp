// The stopwatch end to end on Windows: the HID layer on the system's own
// services, as the program runs it, against the emulated VORDA-2 reached
// through Wine's HID stack (its bus reading the emulator's hidraw node).
//
//   vorda2-emulator --no-manufacturer --times TIMES
//     -- scripts/wine-with-stopwatch PREFIX stopwatch_e2e_windows TIMES SEPARATOR
//
// The controller, its notify window and the window's detection take the
// stopwatch; the read-out reads all 84 slots; the stopwatch, unplugged and
// plugged in again through the emulator's control pipe, leaves and comes
// back through the system's device-change broadcast alone (nothing here
// posts one). SEPARATOR is the decimal separator the user's regional
// settings must have ("." or ","), so that a run meant for a Russian
// locale fails if Wine did not take it. The tests run in order, one stopwatch
// and one controller for all of them.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/utf.h"
#include "hid/hid_controller.h"
#include "stopwatch/hid_stopwatch_port.h"
#include "stopwatch/identity.h"
#include "stopwatch/read_out.h"
#include "stopwatch/wire_format.h"
#include "tests/e2e/windows/emulator_control.h"
#include "tests/support/fake_read_out_ports.h"
#include "tests/support/sample_measurements.h"
#include "tests/support/test_event_loop.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::string g_timesFile;
std::string g_separator;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The window's three handlers for the controller, as the window wires them:
// the first stopwatch found is checked out into `stopwatch`, and forgotten
// (not given back) when it goes.
struct Detection {
  TJvHidDeviceController* controller = nullptr;
  TJvHidDevice* stopwatch = nullptr;
  std::vector<TJvHidDevice*> forgotten;  // unplugged while held; freed at the end
  int arrivals = 0;
  int removals = 0;

  void Arrival(TJvHidDevice*) {
    ++arrivals;
    if (stopwatch == nullptr) controller->EnumerateDevices();
  }
  bool Enumerate(TJvHidDevice* device, const std::int32_t index) {
    const HIDD_ATTRIBUTES& attributes = device->Attributes();
    if (!stopwatch::IsStopwatch(device->ProductString(), attributes.VendorID, attributes.ProductID)) return true;
    controller->CheckOutDevice(stopwatch, index);
    return false;
  }
  void Removal(TJvHidDevice* device) {
    ++removals;
    if (device != stopwatch) return;
    forgotten.push_back(stopwatch);
    stopwatch = nullptr;
  }
};

// A hidden top-level window of our own beside the controller's, keeping the
// time and code of every device-change broadcast the system sends.
class BroadcastLog {
 public:
  struct Entry {
    Clock::time_point at;
    WPARAM code;
  };

  BroadcastLog() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &Proc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "LumetraE2eBroadcastLog";
    ::RegisterClassA(&windowClass);
    window_ = ::CreateWindowExA(0, windowClass.lpszClassName, "", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                                windowClass.hInstance, nullptr);
    ::SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~BroadcastLog() { ::DestroyWindow(window_); }

  bool Created() const { return window_ != nullptr; }
  std::vector<Entry> entries;

  // The entries since `from`, as "code after N ms" texts for the report.
  std::string Since(Clock::time_point from) const {
    std::string text;
    char item[64];
    for (const Entry& entry : entries) {
      if (entry.at < from) continue;
      std::snprintf(item, sizeof item, "%s0x%04llx after %.0f ms", text.empty() ? "" : ", ",
                    static_cast<unsigned long long>(entry.code),
                    std::chrono::duration<double, std::milli>(entry.at - from).count());
      text += item;
    }
    return text.empty() ? "none" : text;
  }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* log = reinterpret_cast<BroadcastLog*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (log != nullptr && message == WM_DEVICECHANGE) log->entries.push_back({Clock::now(), wParam});
    return ::DefWindowProcA(window, message, wParam, lParam);
  }

  HWND window_ = nullptr;
};

// The user's decimal separator, as the system's regional settings give it.
std::string SystemDecimalSeparator() {
  wchar_t text[8] = {};
  if (::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, text, 8) == 0) return {};
  return base::Utf16ToUtf8(std::u16string(reinterpret_cast<const char16_t*>(text)));
}

class WineStopwatch : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    loop_ = new simulated_hid::TestEventLoop;
    broadcasts_ = new BroadcastLog;
    detection_ = new Detection;
    // As the window's stored layout makes it: handlers set while loading.
    controller_ = new TJvHidDeviceController(nullptr);
    detection_->controller = controller_;
    controller_->BeginLoading();
    controller_->OnArrival = TJvHidPlugEvent(detection_, &Detection::Arrival);
    controller_->OnRemoval = TJvHidPlugEvent(detection_, &Detection::Removal);
    controller_->OnEnumerate = TJvHidEnumerateEvent(detection_, &Detection::Enumerate);
    controller_->Loaded();
  }

  static void TearDownTestSuite() {
    // Held and forgotten devices are given back before the controller goes.
    delete detection_->stopwatch;
    for (TJvHidDevice* device : detection_->forgotten) delete device;
    delete controller_;
    delete detection_;
    delete broadcasts_;
    delete loop_;
  }

  static bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    return loop_->RunUntil(done, timeout);
  }

  // One full read-out into a fresh fake window.
  static stopwatch::ReadOutResult ReadOut(stopwatch::FakeReadOutWindow& window) {
    stopwatch::HidStopwatchPort port(detection_->stopwatch);
    stopwatch::FixedClock clock("24.05.2024", "13:45:00", SystemDecimalSeparator());
    return stopwatch::ReadOutMeasurements(port, window, clock);
  }

  static void ExpectTheSampleTable(const stopwatch::FakeReadOutWindow& window) {
    for (int slot = 0; slot < stopwatch::kSlotCount; ++slot) {
      const stopwatch::Cell cell = stopwatch::SlotCell(slot);
      EXPECT_EQ(window.Cell(cell.column, cell.row), e2e::ExpectedCellText(slot, g_separator)) << "slot " << slot;
    }
  }

  static simulated_hid::TestEventLoop* loop_;
  static BroadcastLog* broadcasts_;
  static Detection* detection_;
  static TJvHidDeviceController* controller_;
};

simulated_hid::TestEventLoop* WineStopwatch::loop_ = nullptr;
BroadcastLog* WineStopwatch::broadcasts_ = nullptr;
Detection* WineStopwatch::detection_ = nullptr;
TJvHidDeviceController* WineStopwatch::controller_ = nullptr;

TEST_F(WineStopwatch, TheControllerFindsTheStopwatchOnWinesHidBus) {
  ASSERT_TRUE(broadcasts_->Created());
  ASSERT_NE(controller_->NotifyWindow(), nullptr) << "the system's HID services were not found";
  const auto start = Clock::now();
  ASSERT_TRUE(RunUntil([] { return detection_->stopwatch != nullptr; }, 20s))
      << controller_->Count() << " HID interfaces listed, none taken for the stopwatch";
  TJvHidDevice& device = *detection_->stopwatch;
  const HIDD_ATTRIBUTES& attributes = device.Attributes();
  const HIDP_CAPS caps = device.Caps();
  const std::u16string product = device.ProductString();
  std::printf(
      "stopwatch taken %.0f ms after the controller's start, %d interfaces listed\n"
      "  path %s\n  vendor %04x product %04x version %04x product string \"%s\"\n"
      "  usage page %04x usage %04x, input report %u bytes, output report %u bytes\n",
      MsSince(start), controller_->Count(), device.PnPInfo()->DevicePath.c_str(), attributes.VendorID,
      attributes.ProductID, attributes.VersionNumber, base::Utf16ToUtf8(product).c_str(), caps.UsagePage, caps.Usage,
      caps.InputReportByteLength, caps.OutputReportByteLength);
  EXPECT_EQ(product, stopwatch::kProductString) << "exactly, untrimmed";
  EXPECT_EQ(attributes.VendorID, stopwatch::kVendorId);
  EXPECT_EQ(attributes.ProductID, stopwatch::kProductId);
  EXPECT_EQ(attributes.VersionNumber, 0x0102) << "the release the emulator's USB device gives";
  EXPECT_EQ(caps.UsagePage, 0xFF00);
  EXPECT_EQ(caps.InputReportByteLength, stopwatch::kAnswerLength);
  EXPECT_EQ(caps.OutputReportByteLength, 2);
  EXPECT_TRUE(device.ReadWriteAccess());
}

TEST_F(WineStopwatch, TheReadOutReadsAll84SlotsWithTheRegionalSeparator) {
  ASSERT_NE(detection_->stopwatch, nullptr);
  ASSERT_EQ(SystemDecimalSeparator(), g_separator) << "the regional settings Wine took from the locale";
  std::ifstream times(g_timesFile);
  ASSERT_TRUE(times) << g_timesFile;
  ASSERT_TRUE(e2e::TimesFileMatches(times)) << g_timesFile << " holds other measurements than this test expects";

  stopwatch::FakeReadOutWindow window;
  const auto start = Clock::now();
  const stopwatch::ReadOutResult result = ReadOut(window);
  std::printf("read-out of 84 slots: %.0f ms\n", MsSince(start));
  ASSERT_EQ(result.kind, stopwatch::ReadOutResult::Kind::Completed) << "stopped at slot " << result.stoppedAtSlot;
  ExpectTheSampleTable(window);
  EXPECT_EQ(window.status, "Данные считаны 24.05.2024 в 13:45:00");
  EXPECT_EQ(window.Cell(5, 9), "24.05.2024");
  EXPECT_EQ(window.Cell(6, 9), "13:45:00");
}

TEST_F(WineStopwatch, UnplugAndReplugReachTheControllerThroughTheSystemBroadcast) {
  ASSERT_NE(detection_->stopwatch, nullptr);
  TJvHidDevice* const before = detection_->stopwatch;
  const int removals = detection_->removals;

  const auto unplugged = Clock::now();
  ASSERT_TRUE(e2e::TellEmulator("u")) << "the emulator's control pipe";
  const bool gone = RunUntil([] { return detection_->stopwatch == nullptr; }, 15s);
  std::printf("unplug: stopwatch let go after %.0f ms; broadcasts: %s\n", MsSince(unplugged),
              broadcasts_->Since(unplugged).c_str());
  ASSERT_TRUE(gone) << "the controller never saw the stopwatch go";
  EXPECT_GT(detection_->removals, removals);
  EXPECT_FALSE(before->Plugged());

  const auto plugged = Clock::now();
  ASSERT_TRUE(e2e::TellEmulator("p"));
  const bool back = RunUntil([] { return detection_->stopwatch != nullptr; }, 15s);
  std::printf("plug-in: stopwatch taken after %.0f ms; broadcasts: %s\n", MsSince(plugged),
              broadcasts_->Since(plugged).c_str());
  ASSERT_TRUE(back) << "the controller never saw the stopwatch come back";
  EXPECT_NE(detection_->stopwatch, before) << "a new device object for the new plug-in";
  EXPECT_TRUE(detection_->stopwatch->Plugged());

  // The stopwatch taken again answers as before.
  stopwatch::FakeReadOutWindow window;
  ASSERT_EQ(ReadOut(window).kind, stopwatch::ReadOutResult::Kind::Completed);
  ExpectTheSampleTable(window);
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s TIMES-FILE DECIMAL-SEPARATOR\n", argv[0]);
    return 2;
  }
  // The times file comes as a Unix path.
  g_timesFile = e2e::WinePath(argv[1]);
  g_separator = argv[2];
  return RUN_ALL_TESTS();
}
