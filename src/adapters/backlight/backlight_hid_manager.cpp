#include "adapters/backlight/backlight_hid_manager.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <map>
#include <string>
#include <system_error>
#include <tuple>
#include <utility>

#include "adapters/hidapi/hidraw_errors.hpp"
#include "adapters/hidapi/hidraw_location.hpp"

namespace lumaro::hid {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kDriverName = "appledisplay";
constexpr std::uint8_t kBrightnessReportID = 0x10;
constexpr std::int64_t kByteMax = 255;

// The first line of a sysfs attribute, without its newline. Plain read(2):
// a refresh reads a dozen attributes per display, and a stream per file
// would cost more than the reads.
std::optional<std::string> attribute(const fs::path& file) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  char buffer[256];
  const ssize_t size = ::read(fd, buffer, sizeof buffer);
  ::close(fd);
  if (size < 0) return std::nullopt;
  std::string_view text(buffer, static_cast<std::size_t>(size));
  text = text.substr(0, text.find('\n'));
  if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  return std::string(text);
}

std::optional<std::int64_t> number(const std::optional<std::string>& text, int base = 10) {
  if (!text || text->empty()) return std::nullopt;
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value, base);
  if (error != std::errc{} || end != text->data() + text->size() || value < 0) return std::nullopt;
  return value;
}

using Properties = std::map<std::string, Property, std::less<>>;

// What the USB device directory says about the display.
struct UsbDevice {
  fs::path dir;
  std::int64_t bus = 0;
  std::int64_t number = 0;
  bool operator<(const UsbDevice& other) const { return std::tie(bus, number) < std::tie(other.bus, other.number); }
};

bool isUsbDevice(const fs::path& dir) {
  std::error_code error;
  return fs::exists(dir / "idVendor", error) && fs::exists(dir / "idProduct", error);
}

UsbDevice usbDevice(const fs::path& dir) {
  return {dir, number(attribute(dir / "busnum")).value_or(0), number(attribute(dir / "devnum")).value_or(0)};
}

Properties usbProperties(const fs::path& dir) {
  Properties properties{{"Transport", Property{std::string("USB")}}};
  if (const auto vendor = number(attribute(dir / "idVendor"), 16)) properties.emplace("VendorID", Property{*vendor});
  if (const auto product = number(attribute(dir / "idProduct"), 16)) {
    properties.emplace("ProductID", Property{*product});
  }
  if (auto serial = attribute(dir / "serial"); serial && !serial->empty()) {
    properties.emplace("SerialNumber", Property{std::move(*serial)});
  }
  if (auto name = attribute(dir / "product"); name && !name->empty()) {
    properties.emplace("Product", Property{std::move(*name)});
  }
  const auto bus = number(attribute(dir / "busnum"));
  const auto ports = attribute(dir / "devpath");
  if (bus && ports) {
    if (const auto location = packLocationID(*bus, *ports)) properties.emplace("LocationID", Property{*location});
  }
  return properties;
}

// The USB device above `entry`, staying inside the sysfs tree.
std::optional<fs::path> usbAncestor(const fs::path& root, const fs::path& entry) {
  std::error_code error;
  fs::path dir = fs::canonical(entry, error);
  if (error) return std::nullopt;
  for (dir = dir.parent_path(); dir != root && dir != dir.parent_path(); dir = dir.parent_path()) {
    if (isUsbDevice(dir)) return dir;
  }
  return std::nullopt;
}

// The number the driver gave a backlight: 3 for "appledisplay3".
std::int64_t backlightNumber(const std::string& name) {
  return number(name.substr(kDriverName.size())).value_or(INT64_MAX);
}

class BacklightDevice final : public Device {
 public:
  BacklightDevice(fs::path dir, std::string name, Properties properties, std::shared_ptr<SessionBrightness> session)
      : dir_(std::move(dir)),
        name_(std::move(name)),
        properties_(std::move(properties)),
        session_(std::move(session)) {}

  std::optional<Property> property(std::string_view key) const override {
    const auto found = properties_.find(key);
    if (found == properties_.end()) return std::nullopt;
    return found->second;
  }

  // The backlight class speaks for the driver; no HID descriptor reaches it.
  std::optional<std::vector<std::uint8_t>> reportDescriptor() const override { return std::nullopt; }

  // Nothing to hold open; only whether the device is still there.
  IOReturn open() override {
    std::error_code error;
    return fs::exists(dir_ / "max_brightness", error) ? kIOReturnSuccess : kIOReturnNoDevice;
  }

  IOReturn getFeatureReport(std::uint8_t reportID, std::span<std::uint8_t> buffer, std::int64_t& length) override {
    if (reportID != kBrightnessReportID) return kIOReturnUnsupported;
    if (length < 2 || buffer.size() < 2) return kIOReturnBadArgument;
    const auto max = maxBrightness();
    if (!max) return missingOr(kIOReturnError);
    const auto actual = number(attribute(dir_ / "actual_brightness"));
    if (!actual) return missingOr(kIOReturnError);
    const std::int64_t byte = std::min(kByteMax, (std::min(*actual, *max) * kByteMax + *max / 2) / *max);
    buffer[0] = kBrightnessReportID;
    buffer[1] = static_cast<std::uint8_t>(byte);
    length = 2;
    return kIOReturnSuccess;
  }

  IOReturn setFeatureReport(std::uint8_t reportID, std::span<const std::uint8_t> buffer) override {
    if (reportID != kBrightnessReportID) return kIOReturnUnsupported;
    if (buffer.size() < 2 || buffer[0] != kBrightnessReportID) return kIOReturnBadArgument;
    const auto max = maxBrightness();
    if (!max) return missingOr(kIOReturnError);
    const auto value = static_cast<std::uint32_t>((std::int64_t{buffer[1]} * *max + kByteMax / 2) / kByteMax);

    if (session_ && session_->setBrightness("backlight", name_, value) == SessionBrightness::Outcome::kDone) {
      return kIOReturnSuccess;
    }
    return writeBrightnessFile(value);
  }

  void close() override {}

 private:
  std::optional<std::int64_t> maxBrightness() const {
    const auto max = number(attribute(dir_ / "max_brightness"));
    if (!max || *max == 0) return std::nullopt;
    return max;
  }

  // A device that has gone reads as no device; anything else as `otherwise`.
  IOReturn missingOr(IOReturn otherwise) const {
    std::error_code error;
    return fs::exists(dir_, error) ? otherwise : kIOReturnNoDevice;
  }

  IOReturn writeBrightnessFile(std::uint32_t value) const {
    const fs::path file = dir_ / "brightness";
    std::FILE* out = std::fopen(file.c_str(), "w");
    if (out == nullptr) return ioReturnForErrno(errno);
    const std::string text = std::to_string(value) + "\n";
    const bool written = std::fputs(text.c_str(), out) >= 0;
    // sysfs reports a rejected value when the buffer is flushed.
    const bool closed = std::fclose(out) == 0;
    return written && closed ? kIOReturnSuccess : kIOReturnError;
  }

  const fs::path dir_;
  const std::string name_;
  const Properties properties_;
  const std::shared_ptr<SessionBrightness> session_;
};

}  // namespace

BacklightHidManager::BacklightHidManager(std::filesystem::path sysfsRoot, std::shared_ptr<SessionBrightness> session)
    : sysfsRoot_(std::move(sysfsRoot)), session_(std::move(session)) {}

std::optional<std::vector<std::shared_ptr<Device>>> BacklightHidManager::copyDevices() {
  std::error_code error;
  const fs::path root = fs::canonical(sysfsRoot_, error);
  if (error) return std::nullopt;

  // The display driver's backlights, in the order it made them.
  std::vector<std::pair<std::int64_t, std::string>> backlights;
  for (const auto& entry : fs::directory_iterator(root / "class" / "backlight", error)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with(kDriverName)) backlights.emplace_back(backlightNumber(name), name);
  }
  if (backlights.empty()) return std::nullopt;
  std::sort(backlights.begin(), backlights.end());

  // The USB devices the driver is bound to, one per bound interface ("1-2:1.0").
  std::vector<UsbDevice> bound;
  for (const auto& entry : fs::directory_iterator(root / "bus" / "usb" / "drivers" / kDriverName, error)) {
    if (entry.path().filename().string().find(':') == std::string::npos) continue;
    const fs::path interface = fs::canonical(entry.path(), error);
    if (!error && isUsbDevice(interface.parent_path())) bound.push_back(usbDevice(interface.parent_path()));
  }

  std::vector<std::pair<std::string, fs::path>> paired;
  std::vector<std::string> orphans;
  for (const auto& [number, name] : backlights) {
    const auto ancestor = usbAncestor(root, root / "class" / "backlight" / name);
    if (!ancestor) {
      orphans.push_back(name);
      continue;
    }
    paired.emplace_back(name, *ancestor);
    std::erase_if(bound, [&](const UsbDevice& device) { return device.dir == *ancestor; });
  }
  if (!orphans.empty() && orphans.size() == bound.size()) {
    std::sort(bound.begin(), bound.end());
    for (std::size_t i = 0; i < orphans.size(); ++i) paired.emplace_back(orphans[i], bound[i].dir);
  }

  std::vector<std::shared_ptr<Device>> devices;
  for (const auto& [name, usb] : paired) {
    Properties properties = usbProperties(usb);
    if (matching_ && matching_->vendorID) {
      const auto vendor = properties.find("VendorID");
      if (vendor == properties.end() || vendor->second != Property{*matching_->vendorID}) continue;
    }
    devices.push_back(
        std::make_shared<BacklightDevice>(root / "class" / "backlight" / name, name, std::move(properties), session_));
  }
  if (devices.empty()) return std::nullopt;
  return devices;
}

}  // namespace lumaro::hid
