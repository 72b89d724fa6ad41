#include "adapters/udev/udev_display_monitor.hpp"

#include <libudev.h>

#include <charconv>
#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "display_control/display_description.hpp"

namespace lumaro::devices {

namespace {

constexpr const char* kSubsystems[] = {"hidraw", "backlight"};
constexpr std::string_view kBacklightDriverPrefix = "appledisplay";

struct DeviceUnref {
  void operator()(udev_device* device) const { udev_device_unref(device); }
};
using DevicePtr = std::unique_ptr<udev_device, DeviceUnref>;

struct EnumerateUnref {
  void operator()(udev_enumerate* enumerate) const { udev_enumerate_unref(enumerate); }
};

// USB ID attributes are four hex digits ("05ac").
std::optional<std::int64_t> hexAttribute(udev_device* device, const char* name) {
  const char* text = udev_device_get_sysattr_value(device, name);
  if (text == nullptr) return std::nullopt;
  const std::string_view view(text);
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(view.data(), view.data() + view.size(), value, 16);
  if (view.empty() || error != std::errc{} || end != view.data() + view.size()) return std::nullopt;
  return value;
}

std::string_view orEmpty(const char* text) { return text == nullptr ? std::string_view{} : std::string_view(text); }

// Whether the HID device behind a hidraw node describes a brightness control
// (its sysfs descriptor is world-readable, the node stays closed).
bool describesBrightness(udev_device* hidraw) {
  std::ifstream in(std::string(orEmpty(udev_device_get_syspath(hidraw))) + "/device/report_descriptor",
                   std::ios::binary);
  if (!in) return false;
  const std::vector<std::uint8_t> descriptor{std::istreambuf_iterator<char>(in), {}};
  return describeDisplay(descriptor).brightness.has_value();
}

}  // namespace

void UdevDisplayMonitor::UdevFree::operator()(udev* context) const { udev_unref(context); }
void UdevDisplayMonitor::MonitorFree::operator()(udev_monitor* monitor) const { udev_monitor_unref(monitor); }

UdevDisplayMonitor::UdevDisplayMonitor(SupportedDisplay isSupported)
    : isSupported_(std::move(isSupported)), udev_(udev_new()) {
  if (!udev_) return;
  monitor_.reset(udev_monitor_new_from_netlink(udev_.get(), "udev"));
  if (!monitor_) return;
  for (const char* subsystem : kSubsystems) {
    udev_monitor_filter_add_match_subsystem_devtype(monitor_.get(), subsystem, nullptr);
  }
  if (udev_monitor_enable_receiving(monitor_.get()) < 0) {
    monitor_.reset();
    return;
  }
  listPresentNodes();
}

UdevDisplayMonitor::~UdevDisplayMonitor() = default;

int UdevDisplayMonitor::fd() const { return monitor_ ? udev_monitor_get_fd(monitor_.get()) : -1; }

bool UdevDisplayMonitor::isDisplayNode(udev_device* device) const {
  const std::string_view subsystem = orEmpty(udev_device_get_subsystem(device));
  udev_device* usb = udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_device");
  if (subsystem == "backlight") {
    if (!orEmpty(udev_device_get_sysname(device)).starts_with(kBacklightDriverPrefix)) return false;
    // The driver registers its backlight without a parent on most kernels;
    // where a USB device is above it, its IDs still have to fit.
    if (usb == nullptr) return true;
  }
  if (usb == nullptr || !isSupported_) return false;
  const auto vendor = hexAttribute(usb, "idVendor");
  const auto product = hexAttribute(usb, "idProduct");
  if (vendor && product && isSupported_(*vendor, *product)) return true;
  return subsystem == "hidraw" && describesBrightness(device);
}

void UdevDisplayMonitor::listPresentNodes() {
  const std::unique_ptr<udev_enumerate, EnumerateUnref> enumerate(udev_enumerate_new(udev_.get()));
  if (!enumerate) return;
  for (const char* subsystem : kSubsystems) udev_enumerate_add_match_subsystem(enumerate.get(), subsystem);
  if (udev_enumerate_scan_devices(enumerate.get()) < 0) return;
  udev_list_entry* entry = nullptr;
  udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate.get())) {
    const char* syspath = udev_list_entry_get_name(entry);
    const DevicePtr device(udev_device_new_from_syspath(udev_.get(), syspath));
    if (device && isDisplayNode(device.get())) knownNodes_.insert(syspath);
  }
}

bool UdevDisplayMonitor::readPending() {
  if (!monitor_) return false;
  bool concernsDisplay = false;
  // The monitor's socket is non-blocking: receive until it is empty.
  while (const DevicePtr device{udev_monitor_receive_device(monitor_.get())}) {
    const std::string_view action = orEmpty(udev_device_get_action(device.get()));
    const char* syspath = udev_device_get_syspath(device.get());
    if (syspath == nullptr) continue;
    if (action == "add") {
      if (isDisplayNode(device.get())) {
        knownNodes_.insert(syspath);
        concernsDisplay = true;
      }
    } else if (action == "remove") {
      if (knownNodes_.erase(syspath) > 0) concernsDisplay = true;
    }
  }
  return concernsDisplay;
}

}  // namespace lumaro::devices
