#include "tools/vorda2-emulator/virtual_hidraw_linux.h"

#include <linux/hidraw.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <umockdev.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace lumetra::virtual_hid {
namespace {

constexpr char kPreloadLibrary[] = "libumockdev-preload.so.0";
// A newline, so that the byte wakes poll() even if the terminal is (still)
// in line mode, where only a complete line makes it readable.
constexpr char kWakeByte = '\n';

std::string Hex(const std::vector<std::uint8_t>& bytes) {
  std::string text;
  char pair[3];
  for (const std::uint8_t b : bytes) {
    std::snprintf(pair, sizeof pair, "%02X", b);
    text += pair;
  }
  return text;
}

std::string Hex4(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "%04X", value & 0xFFFFu);
  return text;
}

// As the kernel writes numbers in PRODUCT=: lower case, no leading zeros.
std::string HexShort(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "%x", value & 0xFFFFu);
  return text;
}

std::string Hex4Lower(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "%04x", value & 0xFFFFu);
  return text;
}

// Description lines of one sysfs node for umockdev_testbed_add_from_string.
struct NodeText {
  std::string text;
  void Path(const std::string& p) { text += "P: " + p + "\n"; }
  void Node(const std::string& n) { text += "N: " + n + "\n"; }
  void Prop(const std::string& k, const std::string& v) { text += "E: " + k + "=" + v + "\n"; }
  void Attr(const std::string& k, const std::string& v) { text += "A: " + k + "=" + v + "\n"; }
  void Binary(const std::string& k, const std::vector<std::uint8_t>& v) { text += "H: " + k + "=" + Hex(v) + "\n"; }
  void Link(const std::string& k, const std::string& v) { text += "L: " + k + "=" + v + "\n"; }
  void End() { text += "\n"; }
};

// umockdev starts serving an attached node asynchronously; a program that
// opens the node before that talks to the bare terminal and never reaches
// the device. So the node is opened here (this process runs under the
// preload too) until the device side answers a descriptor-size request.
void WaitUntilServed(const std::string& node, std::size_t descriptor_size) {
  for (int attempt = 0; attempt < 400; ++attempt) {
    const int fd = open(node.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd >= 0) {
      int size = -1;
      const bool served = ioctl(fd, HIDIOCGRDESCSIZE, &size) == 0 && size == static_cast<int>(descriptor_size);
      close(fd);
      if (served) return;
    }
    usleep(5000);
  }
  throw std::runtime_error("virtual device node is not served: " + node);
}

// A folder the testbed names in a string that is the caller's to free.
std::string TakeFolder(gchar* folder) {
  std::string taken(folder);
  g_free(folder);
  return taken;
}

// Where a scan finds a hidraw node: its link in the testbed's class folder.
std::string ClassLink(UMockdevTestbed* testbed, const std::string& node) {
  return TakeFolder(umockdev_testbed_get_sys_dir(testbed)) + "/class/hidraw/" + node.substr(node.rfind('/') + 1);
}

// The pseudo-terminal the testbed backs a device node with ("/dev/pts/3"),
// or "" when the node is not one.
std::string TerminalBehind(UMockdevTestbed* testbed, const std::string& node) {
  const std::string link = TakeFolder(umockdev_testbed_get_root_dir(testbed)) + node;
  char target[256];
  const ssize_t length = readlink(link.c_str(), target, sizeof target - 1);
  if (length <= 0) return {};
  target[length] = '\0';
  return std::strncmp(target, "/dev/pts/", 9) == 0 ? std::string(target) : std::string();
}

// Takes a terminal out of the testbed's map of terminals to the device
// numbers they stand for (dev/.ptymap/_dev_pts_3).
void ForgetTerminal(UMockdevTestbed* testbed, std::string terminal) {
  std::replace(terminal.begin(), terminal.end(), '/', '_');
  unlink((TakeFolder(umockdev_testbed_get_root_dir(testbed)) + "/dev/.ptymap/" + terminal).c_str());
}

}  // namespace

// Signal handlers, run on the testbed's worker thread.
struct HidrawDevice::Callbacks {
  static gboolean OnRead(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer data) {
    auto* device = static_cast<HidrawDevice*>(data);
    std::lock_guard lock(device->mutex_);
    if (device->gone_) {
      umockdev_ioctl_client_complete(client, -1, EIO);  // hidraw after a disconnect
      return TRUE;
    }
    if (device->queue_.empty()) {
      // The backend polls before it reads; a read with nothing queued is
      // answered as a non-blocking read would be.
      umockdev_ioctl_client_complete(client, -1, EAGAIN);
      return TRUE;
    }
    if (device->wake_pending_) {
      // Reads the wake byte on the client's side so that poll() sees the
      // node empty again.
      int error = 0;
      umockdev_ioctl_client_execute(client, &error, nullptr);
      device->wake_pending_ = false;
    }
    Report report = std::move(device->queue_.front());
    device->queue_.erase(device->queue_.begin());
    UMockdevIoctlData* buffer = umockdev_ioctl_client_get_arg(client);
    const std::size_t length = std::min<std::size_t>(report.size(), static_cast<std::size_t>(buffer->data_len));
    std::memcpy(buffer->data, report.data(), length);
    if (!device->queue_.empty()) device->WakeLocked();
    umockdev_ioctl_client_complete(client, static_cast<glong>(length), 0);
    return TRUE;
  }

  static gboolean OnWrite(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer data) {
    auto* device = static_cast<HidrawDevice*>(data);
    UMockdevIoctlData* buffer = umockdev_ioctl_client_get_arg(client);
    Report written(buffer->data, buffer->data + buffer->data_len);
    WriteHandler handler;
    {
      std::lock_guard lock(device->mutex_);
      if (device->gone_ || device->write_error_ != 0) {
        umockdev_ioctl_client_complete(client, -1, device->gone_ ? EIO : device->write_error_);
        return TRUE;
      }
      device->written_.push_back(written);
      handler = device->write_handler_;
    }
    std::vector<Report> answers;
    if (handler) answers = handler(written);
    for (Report& answer : answers) device->QueueInputReport(std::move(answer));
    umockdev_ioctl_client_complete(client, static_cast<glong>(written.size()), 0);
    return TRUE;
  }

  static gboolean OnIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer data) {
    auto* device = static_cast<HidrawDevice*>(data);
    const gulong request = umockdev_ioctl_client_get_request(client);
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    const std::vector<std::uint8_t>& descriptor = device->descriptor_;
    if (request == HIDIOCGRDESCSIZE) {
      if (UMockdevIoctlData* size = umockdev_ioctl_data_resolve(arg, 0, sizeof(int), nullptr)) {
        const int value = static_cast<int>(descriptor.size());
        std::memcpy(size->data, &value, sizeof value);
        umockdev_ioctl_client_complete(client, 0, 0);
        return TRUE;
      }
    } else if (request == HIDIOCGRDESC) {
      if (UMockdevIoctlData* out = umockdev_ioctl_data_resolve(arg, 0, sizeof(hidraw_report_descriptor), nullptr)) {
        hidraw_report_descriptor value{};
        std::memcpy(&value, out->data, sizeof value);
        if (value.size > descriptor.size()) {
          umockdev_ioctl_client_complete(client, -1, EINVAL);
          return TRUE;
        }
        std::memcpy(value.value, descriptor.data(), value.size);
        std::memcpy(out->data, &value, sizeof value);
        umockdev_ioctl_client_complete(client, 0, 0);
        return TRUE;
      }
    }
    umockdev_ioctl_client_complete(client, -1, ENOTTY);
    return TRUE;
  }
};

void HidrawDevice::QueueInputReport(Report report) {
  std::lock_guard lock(mutex_);
  if (gone_) return;
  queue_.push_back(std::move(report));
  WakeLocked();
}

void HidrawDevice::WakeLocked() {
  if (wake_pending_ || master_fd_ < 0) return;
  if (write(master_fd_, &kWakeByte, 1) == 1) wake_pending_ = true;
}

std::vector<Report> HidrawDevice::TakeWrittenReports() {
  std::lock_guard lock(mutex_);
  return std::exchange(written_, {});
}

void HidrawDevice::SetWriteHandler(WriteHandler handler) {
  std::lock_guard lock(mutex_);
  write_handler_ = std::move(handler);
}

void HidrawDevice::SetWriteError(int error) {
  std::lock_guard lock(mutex_);
  write_error_ = error;
}

bool HidrawDevice::Plugged() const {
  std::lock_guard lock(mutex_);
  return !gone_;
}

void HidrawDevice::MarkGone() {
  std::lock_guard lock(mutex_);
  gone_ = true;
  queue_.clear();
  // A byte left in the terminal keeps the node readable, so that waiting
  // readers wake and find it hung up.
  WakeLocked();
}

Testbed::Testbed() {
  if (!UnderUmockdevPreload()) throw std::runtime_error("umockdev preload library is not loaded");
  testbed_ = umockdev_testbed_new();
}

void HidrawDevice::CloseNode() {
  std::lock_guard lock(mutex_);
  if (master_fd_ >= 0) close(master_fd_);
  master_fd_ = -1;
}

Testbed::~Testbed() {
  g_object_unref(testbed_);
  for (const auto& device : devices_) g_object_unref(device->ioctl_handler_);
}

std::shared_ptr<HidrawDevice> Testbed::Plug(const HidDeviceSpec& spec, bool announce) {
  auto device = std::make_shared<HidrawDevice>();
  const unsigned hid_number = next_hid_++;
  const unsigned hidraw_number = next_hidraw_++;
  std::string hid_parent;
  std::string phys;
  NodeText nodes;
  if (spec.usb) {
    const unsigned port = next_usb_port_++;
    const unsigned devnum = next_usb_devnum_++;
    const std::string usb = "/devices/pci0000:00/0000:00:14.0/usb1/1-" + std::to_string(port);
    const std::string interface = usb + "/1-" + std::to_string(port) + ":1.0";
    nodes.Path(usb);
    // The kernel's identity line of a USB device and its interfaces,
    // bcdDevice included ("4d8/f67a/102"); some readers take the version
    // only from here.
    const std::string product_line =
        HexShort(spec.vendor) + "/" + HexShort(spec.product) + "/" + HexShort(spec.version);
    nodes.Prop("SUBSYSTEM", "usb");
    nodes.Prop("DEVTYPE", "usb_device");
    nodes.Prop("DRIVER", "usb");
    nodes.Prop("PRODUCT", product_line);
    nodes.Prop("BUSNUM", "001");
    nodes.Prop("DEVNUM", (devnum < 10 ? "00" : devnum < 100 ? "0" : "") + std::to_string(devnum));
    nodes.Attr("idVendor", Hex4Lower(spec.vendor));
    nodes.Attr("idProduct", Hex4Lower(spec.product));
    nodes.Attr("bcdDevice", Hex4Lower(spec.version));
    nodes.Attr("busnum", "1");
    nodes.Attr("devnum", std::to_string(devnum));
    if (!spec.manufacturer.empty()) nodes.Attr("manufacturer", spec.manufacturer);
    if (!spec.product_string.empty()) nodes.Attr("product", spec.product_string);
    nodes.End();
    nodes.Path(interface);
    nodes.Prop("SUBSYSTEM", "usb");
    nodes.Prop("DEVTYPE", "usb_interface");
    nodes.Prop("DRIVER", "usbhid");
    nodes.Prop("PRODUCT", product_line);
    nodes.Prop("INTERFACE", "3/0/0");
    nodes.Attr("bInterfaceClass", "03");
    nodes.Attr("bInterfaceNumber", "00");
    nodes.End();
    device->syspaths_ = {"/sys" + usb, "/sys" + interface};
    hid_parent = interface;
    phys = "usb-0000:00:14.0-" + std::to_string(port) + "/input0";
  } else {
    hid_parent = "/devices/virtual/misc/uhid";
    phys = "";
  }
  const std::string hid_name =
      Hex4(spec.usb ? 3 : 5) + ":" + Hex4(spec.vendor) + ":" + Hex4(spec.product) + "." + Hex4(hid_number);
  const std::string hid = hid_parent + "/" + hid_name;
  nodes.Path(hid);
  nodes.Prop("SUBSYSTEM", "hid");
  nodes.Prop("DRIVER", "hid-generic");
  char hid_id[40];
  std::snprintf(hid_id, sizeof hid_id, "%04X:%08X:%08X", spec.usb ? 3u : 5u, unsigned{spec.vendor},
                unsigned{spec.product});
  nodes.Prop("HID_ID", hid_id);
  if (!spec.hid_name.empty()) nodes.Prop("HID_NAME", spec.hid_name);
  if (!phys.empty()) nodes.Prop("HID_PHYS", phys);
  nodes.Binary("report_descriptor", spec.report_descriptor);
  nodes.End();
  const std::string hidraw_name = "hidraw" + std::to_string(hidraw_number);
  const std::string hidraw = hid + "/hidraw/" + hidraw_name;
  nodes.Path(hidraw);
  nodes.Node(hidraw_name);
  nodes.Prop("SUBSYSTEM", "hidraw");
  nodes.Prop("DEVNAME", "/dev/" + hidraw_name);
  nodes.Prop("MAJOR", "240");
  nodes.Prop("MINOR", std::to_string(hidraw_number));
  nodes.Attr("dev", "240:" + std::to_string(hidraw_number));
  nodes.Link("device", "../../../" + hid_name);
  nodes.End();

  device->syspaths_.push_back("/sys" + hid);
  device->syspaths_.push_back("/sys" + hidraw);
  device->hid_syspath_ = "/sys" + hid;
  device->hidraw_syspath_ = "/sys" + hidraw;
  device->node_ = "/dev/" + hidraw_name;
  device->descriptor_ = spec.report_descriptor;

  // The device side is attached before the node exists: the testbed
  // announces the node as it makes it, and a program that opens it at once
  // must find it served, or umockdev's preload ends that program.
  GError* error = nullptr;
  UMockdevIoctlBase* handler = umockdev_ioctl_base_new();
  g_signal_connect(handler, "handle-read", G_CALLBACK(&HidrawDevice::Callbacks::OnRead), device.get());
  g_signal_connect(handler, "handle-write", G_CALLBACK(&HidrawDevice::Callbacks::OnWrite), device.get());
  g_signal_connect(handler, "handle-ioctl", G_CALLBACK(&HidrawDevice::Callbacks::OnIoctl), device.get());
  if (!umockdev_testbed_attach_ioctl(testbed_, device->node_.c_str(), handler, &error)) {
    const std::string message = error != nullptr ? error->message : "unknown error";
    g_clear_error(&error);
    g_object_unref(handler);
    throw std::runtime_error("cannot attach to virtual device node: " + message);
  }
  device->ioctl_handler_ = handler;
  devices_.push_back(device);
  if (!umockdev_testbed_add_from_string(testbed_, nodes.text.c_str(), &error)) {
    const std::string message = error != nullptr ? error->message : "unknown error";
    g_clear_error(&error);
    throw std::runtime_error("cannot add virtual device: " + message);
  }
  {
    std::lock_guard lock(device->mutex_);
    device->master_fd_ = umockdev_testbed_get_dev_fd(testbed_, device->node_.c_str());
    // Raw mode: bytes reach the reader as they are, without echo or editing.
    termios mode{};
    if (device->master_fd_ >= 0 && tcgetattr(device->master_fd_, &mode) == 0) {
      cfmakeraw(&mode);
      tcsetattr(device->master_fd_, TCSANOW, &mode);
    }
  }
  WaitUntilServed(device->node_, device->descriptor_.size());
  if (announce) Announce(*device);
  return device;
}

void Testbed::Announce(HidrawDevice& device) {
  for (const std::string& path : device.syspaths_) umockdev_testbed_uevent(testbed_, path.c_str(), "add");
}

void Testbed::Unplug(HidrawDevice& device, bool announce) {
  if (!device.Plugged()) return;
  device.MarkGone();
  // udev announces a removal once the device has left sysfs, so a listener
  // that scans on the notice no longer finds it. umockdev needs the device's
  // files to send the notice, so the node is first taken out of its class
  // (which is where a scan looks), then announced, then removed. Children
  // go first, as the kernel removes them.
  unlink(ClassLink(testbed_, device.node_).c_str());
  const std::string terminal = TerminalBehind(testbed_, device.node_);
  for (auto it = device.syspaths_.rbegin(); it != device.syspaths_.rend(); ++it) {
    if (announce) umockdev_testbed_uevent(testbed_, it->c_str(), "remove");
  }
  for (auto it = device.syspaths_.rbegin(); it != device.syspaths_.rend(); ++it) {
    umockdev_testbed_remove_device(testbed_, it->c_str());
  }
  // Removing the nodes leaves what served them open for the testbed's life:
  // the ioctl socket and the pseudo-terminal, two descriptors a replug, until
  // the process runs out of them. So both are let go here. The terminal's
  // entry in the testbed's map of terminals goes too: the system hands its
  // number to a later terminal, whose node could not be made beside a stale
  // entry. (The testbed still closes the old descriptor number once more
  // when it goes, at the end of the process.)
  umockdev_testbed_detach_ioctl(testbed_, device.node_.c_str(), nullptr);
  device.CloseNode();
  if (!terminal.empty()) ForgetTerminal(testbed_, terminal);
  const auto listed =
      std::find_if(devices_.begin(), devices_.end(), [&device](const auto& entry) { return entry.get() == &device; });
  if (listed != devices_.end()) {
    g_object_unref(device.ioctl_handler_);
    device.ioctl_handler_ = nullptr;
    // A request a program made of the old node just before may still reach
    // its handlers on the testbed's thread, after this: the device stays
    // (answering as unplugged) until the testbed goes, never freed under
    // a handler that is running.
    unplugged_.push_back(std::move(*listed));
    devices_.erase(listed);
  }
}

std::string Testbed::root_dir() const { return TakeFolder(umockdev_testbed_get_root_dir(testbed_)); }

bool UnderUmockdevPreload() {
  const char* preload = std::getenv("LD_PRELOAD");
  return preload != nullptr && std::strstr(preload, "libumockdev-preload") != nullptr;
}

void ReexecUnderUmockdevPreload(char** argv) {
  if (UnderUmockdevPreload()) return;
  const char* old = std::getenv("LD_PRELOAD");
  std::string preload = kPreloadLibrary;
  if (old != nullptr && *old != '\0') preload += std::string(":") + old;
  setenv("LD_PRELOAD", preload.c_str(), 1);
  // In a sanitizer build the preload library comes before the sanitizer
  // runtime, which the runtime would otherwise refuse.
  const char* asan = std::getenv("ASAN_OPTIONS");
  std::string options = asan != nullptr ? asan : "";
  if (options.find("verify_asan_link_order") == std::string::npos) {
    options += (options.empty() ? "" : ":") + std::string("verify_asan_link_order=0");
    setenv("ASAN_OPTIONS", options.c_str(), 1);
  }
  execv("/proc/self/exe", argv);
  std::perror("cannot restart under the umockdev preload library");
}

}  // namespace lumetra::virtual_hid
