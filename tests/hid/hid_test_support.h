// Shared pieces of the HID layer tests: a fixture with the simulated
// platform, an event loop and a controller, and a recorder of events.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "hid/hid_controller.h"
#include "hid/notify_window.h"
#include "tests/support/simulated_hid_platform.h"

namespace hidtest {

using namespace std::chrono_literals;

// Records controller and device events as short texts ("arrival A@0").
class EventLog {
 public:
  std::vector<std::string> events;
  TJvHidDeviceController* controller = nullptr;
  std::map<std::string, std::string>* names = nullptr;

  std::string NameOf(const TJvHidDevice* device) const {
    auto it = names->find(device->PnPInfo()->DevicePath);
    return it == names->end() ? "?" : it->second;
  }
  std::string At(const TJvHidDevice* device) const {
    const auto& list = controller->DeviceList();
    auto it = std::find(list.begin(), list.end(), device);
    return it == list.end() ? "-" : std::to_string(it - list.begin());
  }

  void Arrival(TJvHidDevice* device) {
    events.push_back("arrival " + NameOf(device) + "@" + At(device));
    Reenter("arrival");
  }
  void Removal(TJvHidDevice* device) {
    events.push_back("removal " + NameOf(device) + "@" + At(device));
    Reenter("removal");
  }
  void Unplug(TJvHidDevice* device) {
    events.push_back("unplug " + NameOf(device));
    Reenter("unplug");
  }
  void Change(TObject* sender) { events.push_back(sender == controller ? "change" : "change from another sender"); }
  void Change2(TObject*) { events.push_back("change2"); }
  bool Enumerate(TJvHidDevice* device, const std::int32_t index) {
    events.push_back("enumerate " + NameOf(device) + "@" + std::to_string(index));
    Reenter("enumerate");
    ++offered;
    return offered != stopAt;
  }
  int offered = 0;
  int stopAt = -1;  // the offer (counted from 1) that returns false

  // A handler that calls back into the controller: the next "arrival",
  // "removal", "unplug" or "enumerate" event runs `reenter` once, after it
  // has been logged.
  std::string reenterFrom;
  std::function<void()> reenter;
  void Reenter(const char* event) {
    if (reenterFrom != event) return;
    reenterFrom.clear();
    reenter();
  }
};

// A controller as a window's stored layout makes it: the recorder's arrival,
// removal, enumeration and device-change handlers set while loading.
template <typename Recorder>
std::unique_ptr<TJvHidDeviceController> CreateWiredController(Recorder& recorder) {
  auto controller = std::make_unique<TJvHidDeviceController>(nullptr);
  recorder.controller = controller.get();
  controller->BeginLoading();
  controller->OnArrival = TJvHidPlugEvent(&recorder, &Recorder::Arrival);
  controller->OnRemoval = TJvHidPlugEvent(&recorder, &Recorder::Removal);
  controller->OnEnumerate = TJvHidEnumerateEvent(&recorder, &Recorder::Enumerate);
  controller->SetOnDeviceChange(TNotifyEvent(&recorder, &Recorder::Change));
  controller->Loaded();
  return controller;
}

class HidFixture : public ::testing::Test {
 protected:
  // Destroyed in reverse: the controller before the platform it uses.
  simulated_hid::TestEventLoop loop;
  simulated_hid::SimulatedPlatform platform;
  std::map<std::string, std::string> names;
  std::map<std::string, simulated_hid::DeviceId> ids;
  std::unique_ptr<TJvHidDeviceController> ctl;
  EventLog log;

  HidFixture() { log.names = &names; }

  // Devices still checked out when a test ends are the test's to give back.
  void TearDown() override {
    std::vector<TJvHidDevice*> held;
    if (ctl) {
      for (TJvHidDevice* device : ctl->DeviceList()) {
        if (device->CheckedOut()) held.push_back(device);
      }
    }
    ctl.reset();
    for (TJvHidDevice* device : held) delete device;
  }

  static simulated_hid::DeviceConfig Config(USHORT input = 9, USHORT output = 2) {
    simulated_hid::DeviceConfig config;
    config.vendorId = 0x04D8;
    config.productId = 0xF67A;
    config.inputReportLength = input;
    config.outputReportLength = output;
    config.productString = u"Device";
    return config;
  }

  simulated_hid::DeviceId Add(const std::string& name, simulated_hid::DeviceConfig config = Config()) {
    config.path = "\\\\?\\hid#sim#" + name;
    names[config.path] = name;
    simulated_hid::DeviceId id = platform.AddDevice(std::move(config));
    ids[name] = id;
    return id;
  }

  // A controller with the recorder wired to its events.
  void CreateController() { ctl = CreateWiredController(log); }

  // Creation plus the event loop running the posted first scan.
  void StartUp() {
    CreateController();
    loop.RunPending();
  }

  // Devices A, B and C listed, and the recorder also wired to OnDeviceUnplug.
  void StartUpWithThreeLoggingUnplugs() {
    Add("A");
    Add("B");
    Add("C");
    StartUp();
    ctl->SetOnDeviceUnplug(TJvHidPlugEvent(&log, &EventLog::Unplug));
  }

  // What the system does when device nodes change.
  void Notify() {
    hid::BroadcastDeviceChange();
    loop.RunPending();
  }

  std::vector<std::string> TakeEvents() {
    std::vector<std::string> taken;
    taken.swap(log.events);
    return taken;
  }

  // The list as names, an unplugged entry marked with "!".
  std::vector<std::string> ListNames() const {
    std::vector<std::string> result;
    for (TJvHidDevice* device : ctl->DeviceList()) {
      result.push_back(log.NameOf(device) + (device->Plugged() ? "" : "!"));
    }
    return result;
  }

  TJvHidDevice* Listed(const std::string& name) const {
    for (TJvHidDevice* device : ctl->DeviceList()) {
      if (log.NameOf(device) == name && device->Plugged()) return device;
    }
    return nullptr;
  }

  int IndexOf(const std::string& name) const {
    const auto& list = ctl->DeviceList();
    for (std::size_t i = 0; i < list.size(); ++i) {
      if (log.NameOf(list[i]) == name && list[i]->Plugged()) return static_cast<int>(i);
    }
    return -1;
  }

  TJvHidDevice* CheckOut(const std::string& name) {
    TJvHidDevice* device = nullptr;
    EXPECT_TRUE(ctl->CheckOutDevice(device, IndexOf(name)));
    return device;
  }
};

using Events = std::vector<std::string>;

}  // namespace hidtest
