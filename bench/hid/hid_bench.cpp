// What a re-scan and a report exchange cost, measured on the simulated
// platform (so the layer's own cost, not the system's).
//   hid_bench --benchmark_filter=Rescan
// Goals: a re-scan of 64 interfaces within 5 ms; one request/answer
// exchange within 20 us.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "hid/hid_controller.h"
#include "tests/support/simulated_hid_platform.h"

namespace {

simulated_hid::DeviceConfig DeviceNumber(int n) {
  simulated_hid::DeviceConfig config;
  config.vendorId = 0x04D8;
  config.productId = static_cast<USHORT>(0xF000 + n);
  config.inputReportLength = 11;
  config.outputReportLength = 2;
  config.productString = u"Device";
  // A realistic set of registry properties for every interface.
  config.properties[SPDRP_DEVICEDESC] = simulated_hid::RegistryValue::Text("HID-compliant device");
  config.properties[SPDRP_HARDWAREID] = simulated_hid::RegistryValue::TextList(
      {"HID\\VID_04D8&PID_F67A&REV_0100", "HID\\VID_04D8&PID_F67A", "HID_DEVICE"});
  config.properties[SPDRP_COMPATIBLEIDS] = simulated_hid::RegistryValue::TextList({"HID_DEVICE_SYSTEM_VENDOR"});
  config.properties[SPDRP_CLASS] = simulated_hid::RegistryValue::Text("HIDClass");
  config.properties[SPDRP_CLASSGUID] = simulated_hid::RegistryValue::Text("{745a17a0-74d3-11d0-b6fe-00a0c90f57da}");
  config.properties[SPDRP_DRIVER] = simulated_hid::RegistryValue::Text("{745a17a0-74d3-11d0-b6fe-00a0c90f57da}\\0001");
  config.properties[SPDRP_MFG] = simulated_hid::RegistryValue::Text("(Standard system devices)");
  config.properties[SPDRP_SERVICE] = simulated_hid::RegistryValue::Text("HidUsb");
  config.properties[SPDRP_CAPABILITIES] = simulated_hid::RegistryValue::Number(0xA0);
  config.properties[SPDRP_CONFIGFLAGS] = simulated_hid::RegistryValue::Number(0);
  config.properties[SPDRP_ENUMERATOR_NAME] = simulated_hid::RegistryValue::Text("HID");
  config.properties[SPDRP_PHYSICAL_DEVICE_OBJECT_NAME] =
      simulated_hid::RegistryValue::Text("\\Device\\0000004" + std::to_string(n));
  return config;
}

void BM_Rescan(benchmark::State& state) {
  simulated_hid::TestEventLoop loop;
  simulated_hid::SimulatedPlatform platform;
  const int interfaces = static_cast<int>(state.range(0));
  for (int n = 0; n < interfaces; ++n) platform.AddDevice(DeviceNumber(n));
  auto controller = std::make_unique<TJvHidDeviceController>(nullptr);
  loop.RunPending();  // the first scan
  if (controller->Count() != interfaces) state.SkipWithError("first scan incomplete");
  for (auto _ : state) {
    controller->DeviceChange();  // no change: every fresh device is a duplicate
  }
  state.counters["interfaces"] = interfaces;
  controller.reset();
}
BENCHMARK(BM_Rescan)->Arg(8)->Arg(64)->Arg(256)->Unit(benchmark::kMillisecond);

struct Exchange {
  simulated_hid::TestEventLoop loop;
  simulated_hid::SimulatedPlatform platform;
  std::unique_ptr<TJvHidDeviceController> controller;
  TJvHidDevice* device = nullptr;

  Exchange() {
    const simulated_hid::DeviceId id = platform.AddDevice(DeviceNumber(0));
    platform.SetResponder(id, [](const std::vector<BYTE>& request) {
      return simulated_hid::SimulatedReport{{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, request[1]}};
    });
    controller = std::make_unique<TJvHidDeviceController>(nullptr);
    loop.RunPending();
    controller->CheckOutDevice(device, 0);
  }
  ~Exchange() {
    controller.reset();
    delete device;
  }
};

// One request and its answer per iteration: read synchronously, or through
// the overlapped read with a time-out the read-out uses.
void RunExchange(benchmark::State& state, bool timed) {
  Exchange exchange;
  if (exchange.device == nullptr || (timed && !exchange.device->OpenReadHandleForReport())) {
    state.SkipWithError("no device");
    return;
  }
  BYTE request[2] = {0, 0xAA};
  BYTE answer[11] = {};
  DWORD written = 0, read = 0;
  for (auto _ : state) {
    exchange.device->WriteReport(request, 2, written);
    if (timed) {
      exchange.device->ReadReportTimeout(answer, 11, read, 1000);
    } else {
      exchange.device->ReadReport(answer, 11, read);
    }
    benchmark::DoNotOptimize(answer);
  }
}

void BM_WriteReadExchange(benchmark::State& state) { RunExchange(state, false); }
BENCHMARK(BM_WriteReadExchange)->Unit(benchmark::kMicrosecond);

void BM_WriteReadTimeoutExchange(benchmark::State& state) { RunExchange(state, true); }
BENCHMARK(BM_WriteReadTimeoutExchange)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
