// Virtual HID devices that programs reach through the real Linux path
// (udev enumeration, sysfs, /dev/hidrawN, udev monitor), built on an
// umockdev testbed.
//
// The process must run with umockdev's preload library (LD_PRELOAD); so must
// every program that is to see the devices, which inherits the testbed
// through the environment.
//
// umockdev backs a device node with a pseudo-terminal, a byte stream that
// would lose report boundaries. So each read of the node is answered by the
// device side with exactly one queued report, and while reports are queued
// one "wake" byte sits in the terminal so that poll() on the node reports it
// readable; the read consumes it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

typedef struct _UMockdevTestbed UMockdevTestbed;
typedef struct _UMockdevIoctlBase UMockdevIoctlBase;

namespace lumetra::virtual_hid {

using Report = std::vector<std::uint8_t>;

struct HidDeviceSpec {
  std::uint16_t vendor = 0;
  std::uint16_t product = 0;
  std::uint16_t version = 0;  // bcdDevice
  // A USB device (with its interface) above the HID device; otherwise the
  // HID device hangs off a virtual bus (as uhid and Bluetooth devices do).
  bool usb = true;
  std::string manufacturer;    // USB attribute
  std::string product_string;  // USB attribute; empty: the device has none
  std::string hid_name;        // the kernel's HID_NAME
  std::vector<std::uint8_t> report_descriptor;
};

// One plug-in of a device: what a program opens as /dev/hidrawN.
class HidrawDevice {
 public:
  // The device's answer to an output report: the input reports it queues,
  // as hidraw hands them out (no ID byte for unnumbered reports).
  using WriteHandler = std::function<std::vector<Report>(std::span<const std::uint8_t> written)>;

  const std::string& Node() const { return node_; }
  const std::string& hidraw_syspath() const { return hidraw_syspath_; }
  const std::string& hid_syspath() const { return hid_syspath_; }

  void QueueInputReport(Report report);
  // Reports written to the node so far (as written, ID byte first); taken.
  std::vector<Report> TakeWrittenReports();
  void SetWriteHandler(WriteHandler handler);
  // Makes writes fail with this errno (0: succeed again).
  void SetWriteError(int error);
  bool Plugged() const;

 private:
  friend class Testbed;
  struct Callbacks;

  void MarkGone();
  void WakeLocked();
  // Lets go of the pseudo-terminal behind the node once it is removed.
  void CloseNode();

  mutable std::mutex mutex_;
  std::string node_;
  std::string hidraw_syspath_;
  std::string hid_syspath_;
  std::vector<std::string> syspaths_;  // every sysfs node of this plug-in, parents first
  std::vector<std::uint8_t> descriptor_;
  int master_fd_ = -1;
  UMockdevIoctlBase* ioctl_handler_ = nullptr;  // serves the node; the testbed's reference
  std::vector<Report> queue_;
  std::vector<Report> written_;
  bool wake_pending_ = false;
  bool gone_ = false;
  int write_error_ = 0;
  WriteHandler write_handler_;
};

class Testbed {
 public:
  // Fails (throws std::runtime_error) when not running under the preload.
  Testbed();
  ~Testbed();
  Testbed(const Testbed&) = delete;
  Testbed& operator=(const Testbed&) = delete;

  // Adds the device's sysfs nodes and its hidraw node; with announce, sends
  // the "add" notices that udev would, parents first. (The testbed itself
  // announces the nodes as it makes them, so the device side is attached
  // before they exist.)
  std::shared_ptr<HidrawDevice> Plug(const HidDeviceSpec& spec, bool announce = true);
  // The "add" notices of a device plugged without them: for callers that
  // set the device up (its write handler) before any program may see it.
  void Announce(HidrawDevice& device);
  // Sends the "remove" notices (hidraw node first) and takes the nodes away.
  // Open handles then see the node hang up.
  void Unplug(HidrawDevice& device, bool announce = true);

  UMockdevTestbed* Raw() const { return testbed_; }
  // The folder standing for the file system's root ("<root>/dev/hidraw0").
  std::string root_dir() const;

 private:
  UMockdevTestbed* testbed_ = nullptr;
  // The devices plugged in now, and those unplugged before.
  std::vector<std::shared_ptr<HidrawDevice>> devices_;
  std::vector<std::shared_ptr<HidrawDevice>> unplugged_;
  // Kernel-style counters: each plug-in gets new names, as a replugged
  // device does (and umockdev cannot reuse a node name).
  unsigned next_hid_ = 1;
  unsigned next_hidraw_ = 0;
  unsigned next_usb_port_ = 1;
  unsigned next_usb_devnum_ = 2;
};

// True when this process runs with umockdev's preload library.
bool UnderUmockdevPreload();

// Re-executes the running program with the preload library added, unless
// it is there already. Returns only when it is there (or on failure).
void ReexecUnderUmockdevPreload(char** argv);

}  // namespace lumetra::virtual_hid
