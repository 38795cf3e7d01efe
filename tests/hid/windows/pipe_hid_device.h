// A HID device whose interface is a named pipe, for running the device layer
// on the system's own file services.
//
// Installing a PipeHidDevice makes it the service provider: its device-setup
// and HID services present one interface (while it is present) whose device
// path is a pipe's name, with fixed identity and capabilities; its file
// services are the system's (kernel32), so every open, read, alertable wait,
// result fetch, cancellation and close the layer makes is a real one on a
// real handle. The test plays the device by writing input reports into the
// pipe's server ends. One at a time; destroying it restores the previous
// provider.
#pragma once

#include <string>
#include <vector>

#include "hid/service_table.h"
#include "base/win32_types.h"

namespace wintest {

class PipeHidDevice final : public hid::ServiceProvider {
 public:
  static constexpr USHORT kVendorId = 0x1209;
  static constexpr USHORT kProductId = 0x0001;
  static constexpr USHORT kInputReportLength = 11;
  static constexpr USHORT kOutputReportLength = 2;
  static constexpr DWORD kDevInst = 0x4711;

  PipeHidDevice();
  ~PipeHidDevice() override;
  PipeHidDevice(const PipeHidDevice&) = delete;
  PipeHidDevice& operator=(const PipeHidDevice&) = delete;

  const std::string& Path() const { return path_; }
  // Whether the interface is listed by the device-setup services.
  void SetPresent(bool present);
  bool Present() const;

  // Writes `report` into every pipe end that a handle of the device holds
  // open now; returns how many took it. Ends whose handle was closed, or
  // that no handle has opened yet, refuse.
  int Feed(const std::vector<BYTE>& report);
  // Feeds until exactly one open handle takes the report (the read handle,
  // once the layer has opened it), for at most `milliseconds`. False if none did.
  bool FeedOne(const std::vector<BYTE>& report, DWORD milliseconds = 2000);

  // CancelIo calls the layer made through the table (each one passed on to
  // the system's).
  int CancelIoCalls() const;
  // Reads the layer started, and alertable waits it began, on any thread.
  int ReadsStarted() const;
  int AlertableWaits() const;

  // --- ServiceProvider ---
  bool LoadSetupServices(hid::ServiceTable::Setup& group) override;
  void FreeSetupServices(hid::ServiceTable::Setup& group) override;
  bool LoadHidServices(hid::ServiceTable::Hid& group) override;
  void FreeHidServices(hid::ServiceTable::Hid& group) override;
  void BindFileServices(hid::ServiceTable::File& group) override;

 private:
  std::string path_;
  // The pipe's server ends, created up front: each opening of the path by
  // the layer takes one that is still waiting for a client.
  std::vector<HANDLE> ends_;
  hid::ServiceProvider* previous_ = nullptr;
};

}  // namespace wintest
