// The main window as the program starts it, on a simulated HID platform, and
// the devices the tests plug into it: a VORDA-2 stopwatch that answers each
// slot request with that slot's report, and a mouse.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/adapters/clock_and_locale.h"
#include "app/form1.h"
#include "app/kit/backend.h"
#include "app/kit/button.h"
#include "app/kit/label.h"
#include "app/kit/save_dialog.h"
#include "app/kit/static_text.h"
#include "app/kit/string_grid.h"
#include "app/startup/startup.h"
#include "hid/hid_controller.h"
#include "hid/notify_window.h"
#include "stopwatch/wire_format.h"
#include "tests/app/png_file.h"
#include "tests/app/support/native_ui.h"
#include "tests/support/simulated_hid_platform.h"

inline constexpr char16_t kStopwatchName[] = u"STOP-WATCH \"VORDA-2\"";

// A VORDA-2 as the system lists it: unnumbered 2-byte output and 11-byte
// input reports, report-ID byte included.
inline simulated_hid::DeviceConfig StopwatchConfig(std::u16string product = kStopwatchName) {
  simulated_hid::DeviceConfig config;
  config.vendorId = 0x04D8;
  config.productId = 0xF67A;
  config.productString = std::move(product);
  config.inputReportLength = 11;
  config.outputReportLength = 2;
  return config;
}

inline simulated_hid::DeviceConfig MouseConfig() {
  simulated_hid::DeviceConfig config;
  config.vendorId = 0x046D;
  config.productId = 0xC077;
  config.productString = u"USB Optical Mouse";
  config.inputReportLength = 5;
  return config;
}

// The answers behind the end-to-end tests' table (tests/support/sample_measurements.h),
// slot by slot; the slots after them answer 0.
inline std::vector<std::vector<BYTE>> EndToEndAnswers() {
  std::vector<BYTE> digitEighteen(11, 0);
  digitEighteen[6] = 18;  // tens of seconds
  using stopwatch::EncodeAnswer;
  return {EncodeAnswer(123456),    EncodeAnswer(123456, 1), EncodeAnswer(999999, 1), EncodeAnswer(0, 1),
          EncodeAnswer(0),         EncodeAnswer(1000000),   EncodeAnswer(10000000),  EncodeAnswer(100000000),
          EncodeAnswer(999999999), digitEighteen,           EncodeAnswer(123456),    EncodeAnswer(1)};
}

// A test adds the devices it needs to `platform`, then starts the window.
class WindowOnSimulatedPlatform : public ::testing::Test {
 protected:
  void TearDown() override { CloseWindow(); }

  void CloseWindow() {
    form.reset();
    EXPECT_EQ(StopwatchDevice, nullptr);
  }

  // Starts the window and lets the controller's first scan run.
  void Start() {
    form = app::CreateMainWindow();
    separator = app::ClockAndLocale().DecimalSeparator();
    Settle();
  }
  void Settle() { loop.RunPending(); }
  // What the system does when a device comes or goes.
  void Unplug(simulated_hid::DeviceId id) {
    platform.Unplug(id);
    hid::BroadcastDeviceChange();
    Settle();
  }
  void Plug(simulated_hid::DeviceId id) {
    platform.Plug(id);
    hid::BroadcastDeviceChange();
    Settle();
  }
  simulated_hid::DeviceId AddAndAnnounce(simulated_hid::DeviceConfig config) {
    const auto id = platform.AddDevice(std::move(config));
    hid::BroadcastDeviceChange();
    Settle();
    return id;
  }

  // Answers slot i's request with reports[i], and those of the slots after
  // them with 0 s.
  void AnswerWithReports(simulated_hid::DeviceId id, std::vector<std::vector<BYTE>> reports) {
    using simulated_hid::SimulatedReport;
    platform.SetResponder(id, [reports](const std::vector<BYTE>& request) -> std::optional<SimulatedReport> {
      if (request.size() < 2 || request[1] < 0xAA || request[1] > 0xFD) return std::nullopt;
      const std::size_t slot = request[1] - 0xAAu;
      return SimulatedReport{slot < reports.size() ? reports[slot] : stopwatch::EncodeAnswer(0)};
    });
  }
  // Answers slot i's request with times[i].
  void AnswerWith(simulated_hid::DeviceId id, std::array<std::uint64_t, 84> times) {
    std::vector<std::vector<BYTE>> reports;
    for (std::uint64_t time : times) reports.push_back(stopwatch::EncodeAnswer(time));
    AnswerWithReports(id, std::move(reports));
  }

  std::string Label2Text() const { return form->Label2->Text(); }
  TColor Label2Colour() const { return form->Label2->FontColor(); }
  std::string Cell(int col, int row) const { return form->StringGrid1->Cell(col, row); }

  // A decimal text written with the user's separator.
  std::string Dec(std::string text) const {
    const auto dot = text.find('.');
    if (dot != std::string::npos) text.replace(dot, 1, separator);
    return text;
  }

  // A picture of `control` in the tests' output folder `folder`, one per
  // desktop language.
  static void SavePicture(const std::string& folder, const TControl& control, const std::string& name) {
    std::filesystem::create_directories(folder);
    const std::string locale = nativeui::DesktopSpeaksRussian() ? "-ru" : "";
    EXPECT_TRUE(WritePng(control.Grab(), folder + "/" + name + locale + ".png")) << name;
  }

  simulated_hid::SimulatedPlatform platform;
  simulated_hid::TestEventLoop loop;
  std::unique_ptr<TForm1> form;
  // The user's decimal separator, as the window writes numbers.
  std::string separator;
};

// Lets the window's event loop deliver what waits for it.
inline void ProcessMessages() { kit::Application::Instance()->ProcessMessages(); }

// The window started and shown on a machine without HID devices.
class StartedWindow : public WindowOnSimulatedPlatform {
 protected:
  void SetUp() override { form->Show(); }

  TStringGrid& grid = StartedGrid();

 private:
  // Runs while the fixture is built, so that `grid` can be bound to the window's grid.
  TStringGrid& StartedGrid() {
    Start();
    return *form->StringGrid1;
  }
};
