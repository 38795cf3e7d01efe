// A simulated platform for testing the HID device layer without devices.
//
// SimulatedPlatform is a service provider that models HID device interfaces in
// memory: enumeration through the device-setup calls, registry properties,
// attributes, product strings, capabilities, opening with full, query-only
// or no access, synchronous and overlapped reads and writes, plugging and
// unplugging. Its file services behave like the Windows ones the layer
// relies on:
//   - every open handle with read access gets its own copy of each input
//     report that arrives while it is open (at most 32 waiting, oldest
//     dropped); a report arriving while no such handle is open is lost;
//   - a ReadFileEx completion routine runs only inside an alertable SleepEx
//     of the thread that issued the read, which then returns
//     WAIT_IO_COMPLETION;
//   - CancelIo cancels the reads the calling thread issued on the handle,
//     CloseHandle all reads on the handle (ERROR_OPERATION_ABORTED);
//   - unplugging completes pending reads with 0 bytes and
//     ERROR_DEVICE_NOT_CONNECTED and fails later I/O on open handles;
//   - GetLastError is per thread;
//   - a device hold is refused at once (ERROR_TIMEOUT) while another hold
//     on the device is taken, here or by "another program" (SetHeldElsewhere).
// Constructing a SimulatedPlatform installs it as the service provider; destroying
// it restores the previous one. One at a time.
//
// TestEventLoop (test_event_loop.h) is the main-thread dispatcher the tests
// run the layer's posted work with.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "hid/main_thread.h"
#include "hid/service_table.h"
#include "tests/support/test_event_loop.h"

namespace simulated_hid {

// The error the HID driver gives for a buffer of the wrong size.
inline constexpr DWORD kErrorInvalidUserBuffer = 1784;
// Input reports kept per open handle, as the HID driver's default.
inline constexpr std::size_t kInputBufferReports = 32;

// A registry property of the device node.
struct RegistryValue {
  DWORD type = REG_SZ;
  std::vector<BYTE> data;

  static RegistryValue Text(const std::string& text);
  static RegistryValue TextList(const std::vector<std::string>& texts);
  static RegistryValue Number(DWORD value);
  static RegistryValue Binary(std::vector<BYTE> bytes);
};

enum class OpenPolicy {
  ReadWrite,  // every opening succeeds
  QueryOnly,  // only an opening with access 0 succeeds (ERROR_ACCESS_DENIED otherwise)
  Never,      // no opening succeeds
};

enum class DetailFailure {
  None,
  SizeQuery,  // the size query fails without ERROR_INSUFFICIENT_BUFFER
  DataQuery,  // the size query works, the query for the path fails
};

struct DeviceConfig {
  std::string path;   // empty: a path is made up from the identifiers
  DWORD devInst = 0;  // 0: a fresh device-node handle is assigned
  USHORT vendorId = 0;
  USHORT productId = 0;
  USHORT versionNumber = 0;
  std::u16string productString;
  bool productStringFails = false;
  USHORT usagePage = 0;
  USHORT usage = 0;
  USHORT inputReportLength = 0;
  USHORT outputReportLength = 0;
  USHORT featureReportLength = 0;
  bool preparsedDataFails = false;
  bool attributesFail = false;
  OpenPolicy open = OpenPolicy::ReadWrite;
  DetailFailure detailFailure = DetailFailure::None;
  std::map<DWORD, RegistryValue> properties;
};

// An input report, delivered after a delay.
struct SimulatedReport {
  std::vector<BYTE> bytes;
  std::chrono::milliseconds delay{0};
};

// Answers a written output report; nullopt for no answer. Called without
// the simulated platform's lock held, on the writing thread.
using Responder = std::function<std::optional<SimulatedReport>(const std::vector<BYTE>& request)>;

using DeviceId = int;

class SimulatedPlatform final : public hid::ServiceProvider {
 public:
  SimulatedPlatform();
  ~SimulatedPlatform() override;
  SimulatedPlatform(const SimulatedPlatform&) = delete;
  SimulatedPlatform& operator=(const SimulatedPlatform&) = delete;

  // --- Devices ---
  // Plugged in, last in the enumeration order.
  DeviceId AddDevice(DeviceConfig config);
  // Unplugs: pending reads complete with ERROR_DEVICE_NOT_CONNECTED, later
  // I/O on its open handles fails, enumeration no longer lists it.
  void Unplug(DeviceId id);
  // Plugs in again (same path and device-node handle), last in the order.
  void Plug(DeviceId id);
  bool IsPlugged(DeviceId id) const;
  // Changes a device's behaviour from now on.
  void Configure(DeviceId id, const std::function<void(DeviceConfig&)>& change);
  DeviceConfig Config(DeviceId id) const;
  std::string PathOf(DeviceId id) const;
  DWORD DevInstOf(DeviceId id) const;

  // --- Reports ---
  // The report arrives after the delay, for the handles open at that moment.
  void QueueInput(DeviceId id, std::vector<BYTE> report, std::chrono::milliseconds delay = {});
  void SetResponder(DeviceId id, Responder responder);
  std::vector<std::vector<BYTE>> Writes(DeviceId id) const;

  // --- Device holds ---
  // Another program holds the device (or no longer does).
  void SetHeldElsewhere(DeviceId id, bool held);
  // A hold of this process is taken on the device.
  bool HeldHere(DeviceId id) const;
  // The wait the last hold asked for, in milliseconds.
  DWORD LastHoldWait(DeviceId id) const;

  // --- Observation ---
  int OpenHandles(DeviceId id) const;           // open now, any access
  int OpenAttempts(DeviceId id) const;          // CreateFileA calls naming the device
  int ProductStringQueries(DeviceId id) const;  // HidD_GetProductString calls
  int PendingReads(DeviceId id) const;          // overlapped reads outstanding
  // Waits (without running anything) until an overlapped read is outstanding.
  bool WaitForPendingRead(DeviceId id, std::chrono::milliseconds timeout) const;
  int TotalOpenHandles() const;
  int LivePreparsedData() const;
  int LiveDeviceInfoSets() const;
  int CancelIoCalls() const;

  // --- Platform behaviour ---
  void SetSetupServicesLoadable(bool loadable);
  void SetHidServicesLoadable(bool loadable);
  void SetClassDevsFails(bool fails);
  // Without it CancelIo returns FALSE, as on a system that has none.
  void SetCancelIoAvailable(bool available);
  // Runs on the closing thread after each CloseHandle, outside the
  // simulated platform's lock (empty: none). Lets a test hold that thread at the
  // moment a handle has just been closed.
  void SetAfterCloseHook(std::function<void()> hook);
  // Runs on the opening thread at the start of each CreateFileA, outside the
  // simulated platform's lock (empty: none).
  void SetBeforeOpenHook(std::function<void()> hook);
  // Runs on the reading thread at the start of each ReadFileEx, before the
  // handle is looked at, outside the simulated platform's lock (empty: none).
  void SetBeforeReadHook(std::function<void()> hook);
  // As Windows does, the value of the handle closed last goes to the next
  // handle opened (off, the default: every handle gets a value of its own).
  void SetHandleValuesReused(bool reused);
  int SetupLoads() const;
  int SetupFrees() const;
  int HidLoads() const;
  int HidFrees() const;
  DWORD LastClassDevsFlags() const;

  // The HID interface class GUID the simulated platform reports.
  static GUID HidGuid();

  // --- ServiceProvider ---
  bool LoadSetupServices(hid::ServiceTable::Setup& group) override;
  void FreeSetupServices(hid::ServiceTable::Setup& group) override;
  bool LoadHidServices(hid::ServiceTable::Hid& group) override;
  void FreeHidServices(hid::ServiceTable::Hid& group) override;
  void BindFileServices(hid::ServiceTable::File& group) override;
  void BindHoldServices(hid::ServiceTable::Hold& group) override;

 private:
  hid::ServiceProvider* previous_ = nullptr;
};

}  // namespace simulated_hid
