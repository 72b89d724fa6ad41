#include "umockdev_bed.hpp"

#include "fixtures.hpp"

#include <asm/ioctl.h>
#include <linux/hidraw.h>
#include <sys/stat.h>
#include <umockdev.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string_view>
#include <utility>

namespace lumaro::testing {

namespace {

constexpr const char* kController = "/sys/devices/pci0000:00/0000:00:14.0";
constexpr int kHidrawMajor = 241;
constexpr uid_t kNobody = 65534;

// `format` is a printf conversion for one unsigned value.
std::string hex(unsigned value, const char* format) {
  char text[16];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string takeString(gchar* text) {
  std::string out = text != nullptr ? text : "";
  g_free(text);
  return out;
}

gboolean onIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer device) {
  const auto [result, error] = static_cast<EmulatedHidraw*>(device)->handleIoctl(client);
  umockdev_ioctl_client_complete(client, result, error);
  return TRUE;
}

}  // namespace

// Fields in UsbHidIdentity's order: IDs, serial, strings, place, node, descriptor.
UsbHidIdentity cinemaDisplay(std::uint16_t productID, std::string serial, int hidraw, int busnum, std::string devpath,
                             const std::vector<std::uint8_t>& edid) {
  UsbHidIdentity display{0x05AC,
                         productID,
                         std::move(serial),
                         "Apple Inc.",
                         "Apple Cinema HD Display",
                         busnum,
                         std::move(devpath),
                         hidraw,
                         fixtureBytes("hid/cinema-display.bin")};
  if (!edid.empty()) {
    display.featureReports.push_back({0x02});
    display.featureReports.back().insert(display.featureReports.back().end(), edid.begin(), edid.end());
  }
  return display;
}

UsbHidIdentity keyboard(int hidraw, int busnum, std::string devpath) {
  return {0x046D,
          0xC31C,
          "",
          "Logitech",
          "USB Keyboard",
          busnum,
          std::move(devpath),
          hidraw,
          fixtureBytes("hid/usb-keyboard.bin")};
}

// --- EmulatedHidraw ---

EmulatedHidraw::EmulatedHidraw(UsbHidIdentity identity) : identity_(std::move(identity)) {
  reports_[kBrightnessReportID] = {kBrightnessReportID, 0x80};
  for (const auto& report : identity_.featureReports) reports_[report.at(0)] = report;
}

// umockdev backs an emulated node with a pseudo-terminal: every handle open
// on the node is a descriptor of this process that leads to it.
int EmulatedHidraw::openHandles() const {
  std::error_code error;
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
    std::error_code linkError;
    if (std::filesystem::read_symlink(entry.path(), linkError) == backing_ && !linkError) ++count;
  }
  return count;
}

std::pair<long, int> EmulatedHidraw::handleIoctl(void* opaque) {
  auto* client = static_cast<UMockdevIoctlClient*>(opaque);
  const unsigned long request = umockdev_ioctl_client_get_request(client);
  UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
  const auto size = static_cast<std::size_t>(_IOC_SIZE(request));
  const bool hidrawType = _IOC_TYPE(request) == 'H';
  const bool getFeature = hidrawType && _IOC_NR(request) == 0x07;
  const bool setFeature = hidrawType && _IOC_NR(request) == 0x06;

  std::lock_guard lock(mutex_);
  ++ioctls_;
  if (vanished_) return {-1, ENODEV};
  if (request == HIDIOCGRDESCSIZE) {
    g_autoptr(UMockdevIoctlData) data = umockdev_ioctl_data_resolve(arg, 0, sizeof(int), nullptr);
    int descriptorSize = static_cast<int>(identity_.reportDescriptor.size());
    umockdev_ioctl_data_update(data, 0, reinterpret_cast<guint8*>(&descriptorSize), sizeof descriptorSize);
    return {0, 0};
  }
  if (!getFeature && !setFeature) return {-1, ENOTTY};

  g_autoptr(UMockdevIoctlData) data = umockdev_ioctl_data_resolve(arg, 0, size, nullptr);
  std::vector<std::uint8_t> bytes(data->data, data->data + std::min<std::size_t>(size, std::size_t(data->data_len)));
  (getFeature ? getRequests_ : received_).push_back(bytes);
  if (failNext_) return {-1, *std::exchange(failNext_, std::nullopt)};
  const auto held = bytes.empty() ? reports_.end() : reports_.find(bytes[0]);
  if (held == reports_.end()) return {-1, EINVAL};
  if (setFeature) {
    held->second = bytes;
    return {static_cast<long>(bytes.size()), 0};
  }

  // hidraw answers a get with the report ID first, then the data.
  std::vector<std::uint8_t> answer = held->second;
  if (otherIDNext_) answer[0] = *std::exchange(otherIDNext_, std::nullopt);
  std::size_t length = std::min(size, answer.size());
  if (shortNext_) length = std::min(length, *std::exchange(shortNext_, std::nullopt));
  umockdev_ioctl_data_update(data, 0, answer.data(), static_cast<gint>(length));
  return {static_cast<long>(length), 0};
}

// --- UmockdevBed ---

struct UmockdevBed::Plugged {
  explicit Plugged(const UsbHidIdentity& identity) : device(identity) {}
  ~Plugged() {
    if (handler != nullptr) g_object_unref(handler);
  }
  Plugged(const Plugged&) = delete;
  Plugged& operator=(const Plugged&) = delete;

  EmulatedHidraw device;
  UMockdevIoctlBase* handler = nullptr;
  std::vector<std::string> syspaths;  // the device's own entries, innermost first
  bool attached = false;
};

// umockdev_in_mock_environment() wants a path in LD_PRELOAD, while
// umockdev-wrapper preloads the library by its bare name.
bool UmockdevBed::active() {
  const char* preload = std::getenv("LD_PRELOAD");
  return preload != nullptr && std::string_view(preload).find("libumockdev-preload.so") != std::string_view::npos;
}

UmockdevBed::UmockdevBed() {
  if (!active()) throw std::runtime_error("not running under umockdev-wrapper");
  testbed_ = umockdev_testbed_new();
}

UmockdevBed::~UmockdevBed() {
  for (auto& plugged : plugged_) {
    if (plugged->attached) umockdev_testbed_detach_ioctl(testbed_, plugged->device.node().c_str(), nullptr);
  }
  g_object_unref(testbed_);
}

// Adds one device, described as umockdev records it: "P:" its path below
// /sys, "E:" udev properties, "A:" attributes, "H:" a binary attribute in hex,
// "L:" links, "N:" its /dev node. umockdev announces it with an "add" uevent,
// so parents are added before their children.
void UmockdevBed::record(const std::string& text) {
  GError* error = nullptr;
  if (umockdev_testbed_add_from_string(testbed_, text.c_str(), &error) != FALSE) return;
  const std::string message = error != nullptr ? error->message : "unknown error";
  g_clear_error(&error);
  throw std::runtime_error("umockdev refused " + text + ": " + message);
}

// The USB device at `devpath` with the hubs above it; a hub when `identity` is null.
std::string UmockdevBed::usbDevice(int busnum, const std::string& devpath, const UsbHidIdentity* identity) {
  const std::string bus = std::to_string(busnum);
  const std::string key = bus + "-" + devpath;
  if (const auto found = usbDevices_.find(key); found != usbDevices_.end()) return found->second;
  const auto dot = devpath.rfind('.');
  const std::string syspath =
      devpath == "0" ? std::string(kController) + "/usb" + bus
                     : usbDevice(busnum, dot == std::string::npos ? "0" : devpath.substr(0, dot), nullptr) + "/" + key;
  const UsbHidIdentity hub{0x1D6B, 0x0002, "", "Linux Foundation", "Hub"};
  const UsbHidIdentity& id = identity != nullptr ? *identity : hub;
  record("P: " + syspath.substr(4) + "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nE: BUSNUM=" + bus +
         "\nA: idVendor=" + hex(id.vendorID, "%04x") + "\nA: idProduct=" + hex(id.productID, "%04x") +
         "\nA: busnum=" + bus + "\nA: devpath=" + devpath + "\nA: manufacturer=" + id.manufacturer +
         "\nA: product=" + id.product + (id.serial.empty() ? "" : "\nA: serial=" + id.serial) + "\n");
  return usbDevices_[key] = syspath;
}

EmulatedHidraw& UmockdevBed::add(const UsbHidIdentity& identity) {
  auto plugged = std::make_unique<Plugged>(identity);
  EmulatedHidraw& device = plugged->device;
  const std::string usb = usbDevice(identity.busnum, identity.devpath, &identity);
  const std::string interface = usb + "/" + std::to_string(identity.busnum) + "-" + identity.devpath + ":1.0";
  record("P: " + interface.substr(4) +
         "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_interface\nE: INTERFACE=3/0/0\nA: bInterfaceClass=03\n");
  const std::string hid = interface + "/0003:" + hex(identity.vendorID, "%04X") + ":" +
                          hex(identity.productID, "%04X") + "." + hex(unsigned(++hidSequence_), "%04X");
  std::string descriptor;
  for (const std::uint8_t byte : identity.reportDescriptor) descriptor += hex(byte, "%02x");
  record("P: " + hid.substr(4) + "\nE: SUBSYSTEM=hid\nE: HID_ID=0003:" + hex(identity.vendorID, "%08X") + ":" +
         hex(identity.productID, "%08X") + "\nE: HID_NAME=" + identity.manufacturer + " " + identity.product +
         "\nE: HID_PHYS=usb-0000:00:14.0-" + identity.devpath + "/input0\nE: HID_UNIQ=" + identity.serial +
         "\nH: report_descriptor=" + descriptor + "\n");

  // umockdev runs the handler on a worker thread of its own, so the code
  // under test may block in an ioctl on the test's thread.
  plugged->handler = umockdev_ioctl_base_new();
  g_signal_connect(plugged->handler, "handle-ioctl", G_CALLBACK(onIoctl), &device);
  plugged->attached =
      umockdev_testbed_attach_ioctl(testbed_, device.node().c_str(), plugged->handler, nullptr) != FALSE;
  if (!plugged->attached) throw std::runtime_error("could not attach an ioctl handler to " + device.node());

  const std::string node = "hidraw" + std::to_string(identity.hidraw);
  const std::string hidraw = hid + "/hidraw/" + node;
  const std::string number = std::to_string(kHidrawMajor) + ":" + std::to_string(identity.hidraw);
  // umockdev makes a node only once per name; a number handed out again
  // reuses the node that its earlier device left behind (see remove()).
  // The node is in place before the "add" uevent, as the kernel has it.
  const auto reused = nodeBacking_.find(identity.hidraw);
  std::error_code linkError;
  if (reused != nodeBacking_.end()) std::filesystem::create_symlink(reused->second, nodeFile(device), linkError);
  record("P: " + hidraw.substr(4) + (reused == nodeBacking_.end() ? "\nN: " + node : "") +
         "\nE: SUBSYSTEM=hidraw\nE: DEVNAME=/dev/" + node + "\nE: MAJOR=" + std::to_string(kHidrawMajor) +
         "\nE: MINOR=" + std::to_string(identity.hidraw) + "\nA: dev=" + number +
         // hidapi reads <hidraw>/device/uevent: the kernel links the node to its
         // hid parent, and the link must be there when the "add" uevent goes out.
         "\\n\nL: device=../..\n");
  if (reused == nodeBacking_.end())
    nodeBacking_[identity.hidraw] = std::filesystem::read_symlink(nodeFile(device), linkError);
  device.setBacking(std::filesystem::canonical(nodeFile(device), linkError));
  plugged->syspaths = {hidraw, hid, interface, usb};
  plugged_.push_back(std::move(plugged));
  return device;
}

void UmockdevBed::remove(EmulatedHidraw& device) {
  for (auto it = plugged_.begin(); it != plugged_.end(); ++it) {
    Plugged& plugged = **it;
    if (&plugged.device != &device) continue;
    device.vanish();
    // The kernel announces each departing device, innermost first.
    for (const auto& syspath : plugged.syspaths) umockdev_testbed_uevent(testbed_, syspath.c_str(), "remove");
    for (const auto& syspath : plugged.syspaths) umockdev_testbed_remove_device(testbed_, syspath.c_str());
    // umockdev leaves the device-number link and the node behind; the kernel
    // takes both away, which frees the number for the next device.
    std::error_code ignored;
    std::filesystem::remove(takeString(umockdev_testbed_get_sys_dir(testbed_)) + "/dev/char/" +
                                std::to_string(kHidrawMajor) + ":" + std::to_string(device.identity().hidraw),
                            ignored);
    std::filesystem::remove(nodeFile(device), ignored);
    usbDevices_.erase(std::to_string(device.identity().busnum) + "-" + device.identity().devpath);
    if (plugged.attached) {
      umockdev_testbed_detach_ioctl(testbed_, device.node().c_str(), nullptr);
      plugged.attached = false;
    }
    // The record stays so references held by tests remain valid.
    return;
  }
}

void UmockdevBed::uevent(const EmulatedHidraw& device, const char* action) {
  for (const auto& plugged : plugged_) {
    if (&plugged->device == &device) umockdev_testbed_uevent(testbed_, plugged->syspaths.front().c_str(), action);
  }
}

std::string UmockdevBed::nodeFile(const EmulatedHidraw& device) const {
  return takeString(umockdev_testbed_get_root_dir(testbed_)) + device.node();
}

void UmockdevBed::denyAccess(const EmulatedHidraw& device) {
  // Everything else of the bed (sysfs, umockdev's ioctl sockets) stays open
  // to any user, so that only the node refuses.
  namespace fs = std::filesystem;
  const fs::path root = takeString(umockdev_testbed_get_root_dir(testbed_));
  std::error_code ignored;
  fs::permissions(root, fs::perms::all, fs::perm_options::add, ignored);
  for (auto it = fs::recursive_directory_iterator(root, ignored); it != fs::recursive_directory_iterator();
       it.increment(ignored)) {
    if (!it->is_symlink(ignored)) fs::permissions(it->path(), fs::perms::all, fs::perm_options::add, ignored);
  }
  fs::permissions(nodeFile(device), fs::perms::none, ignored);
}

UnprivilegedScope::UnprivilegedScope() {
  if (::geteuid() != 0) return;  // already a user: file modes apply as they are
  if (::seteuid(kNobody) == 0) restore_ = 0;
}

UnprivilegedScope::~UnprivilegedScope() {
  if (restore_ && ::seteuid(*restore_) != 0) std::abort();
}

}  // namespace lumaro::testing
