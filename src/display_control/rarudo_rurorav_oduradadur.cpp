#include "display_control/rarudo_rurorav_oduradadur.hpp"

#include <algorithm>
#include <array>
#include <limits>
#include <utility>

#include "diagnostics/format.hpp"
#include "display_control/display_description.hpp"
#include "text/decimal_integer.hpp"

namespace lumaro {

namespace {

// Stands in when no HID manager was supplied, so discovery still takes its
// ordinary failure path instead of dereferencing nothing.
class UnavailableHidManager final : public hid::Manager {
 public:
  void setDeviceMatching(const hid::DeviceMatching&) override {}
  hid::IOReturn open() override { return hid::kIOReturnUnsupported; }
  std::optional<std::vector<std::shared_ptr<hid::Device>>> copyDevices() override { return std::nullopt; }
  void close() override {}
};

ControllerPorts withStandIns(ControllerPorts ports) {
  if (!ports.hidManager) ports.hidManager = std::make_unique<UnavailableHidManager>();
  if (!ports.sink) ports.sink = std::make_shared<DiscardingLineSink>();
  return ports;
}

std::optional<std::string> stringProperty(const hid::Device& device, std::string_view key) {
  const auto value = device.property(key);
  if (!value) return std::nullopt;
  if (const auto* text = std::get_if<std::string>(&*value)) return *text;
  return std::nullopt;
}

}  // namespace

const std::set<std::int64_t>& RarudoRuroravOduradadur::supportedProductIDs() {
  // A function-local static is built exactly once, even under concurrent first use.
  // 0x921C, 0x9222 and 0x9236 are displays driven by the same report 0x10
  // (the Linux kernel's driver for these displays lists them too).
  static const std::set<std::int64_t> ids = {
      0x9218, 0x9219, 0x921C, 0x921D, 0x9221, 0x9222, 0x9226, 0x9227, 0x9236,
  };
  return ids;
}

RarudoRuroravOduradadur::RarudoRuroravOduradadur(ControllerPorts ports)
    : ports_(withStandIns(std::move(ports))), voice_(*ports_.sink, std::string(diagnosticPrefix)) {}

// The manager is released with the controller but deliberately not closed:
// closing is reserved for discovery's empty-result paths.
RarudoRuroravOduradadur::~RarudoRuroravOduradadur() = default;

void RarudoRuroravOduradadur::say(std::string_view line) { voice_.writeLine(line); }

void RarudoRuroravOduradadur::sayUnprefixed(std::string_view line) const { ports_.sink->writeLine(line); }

std::vector<AppleDisplay> RarudoRuroravOduradadur::detectDisplays() {
  say("detectDisplays called");

  hid::Manager& manager = *ports_.hidManager;
  // Every vendor: a display that describes a brightness control may come from anyone.
  manager.setDeviceMatching(hid::DeviceMatching{.transport = "USB", .vendorID = std::nullopt});

  const hid::IOReturn openStatus = manager.open();
  say("HID Manager open status: " + diag::code(openStatus));
  if (openStatus != hid::kIOReturnSuccess) {
    say("Failed to open HID manager");
    return {};
  }

  const auto devices = manager.copyDevices();
  if (!devices) {
    manager.close();
    return {};
  }

  std::vector<AppleDisplay> displays;
  for (const auto& device : *devices) {
    if (!device) continue;
    auto display = describedDisplay(*device);
    if (!display) continue;
    display->id = Uuid::random();
    display->serialNumber = stringProperty(*device, "SerialNumber");
    display->locationID = readIntProperty(*device, "LocationID");
    display->name = stringProperty(*device, "Product");
    display->device = device;
    displays.push_back(std::move(*display));
  }
  // The manager stays open; the next pass re-installs the criteria and re-opens it.
  return displays;
}

std::optional<AppleDisplay> RarudoRuroravOduradadur::describedDisplay(hid::Device& device) {
  const auto vendorID = readIntProperty(device, "VendorID");
  const auto productID = readIntProperty(device, "ProductID");
  if (!vendorID || !productID) return std::nullopt;
  const bool cinema = *vendorID == appleVendorID && supportedProductIDs().contains(*productID);

  DisplayDescription description;
  if (const auto descriptor = device.reportDescriptor()) {
    description = describeDisplay(*descriptor);
    if (description.refusal) {
      say("Ignoring the report descriptor of 0x" + diag::hex4(*vendorID) + ":0x" + diag::hex4(*productID) + ": " +
          *description.refusal);
    }
  }
  if (!cinema && !description.brightness) return std::nullopt;

  AppleDisplay display;
  display.vendorID = *vendorID;
  display.productID = *productID;
  // A Cinema Display whose descriptor describes the fixed report keeps its exact bytes.
  if (description.brightness != kFixedBrightnessControl) display.brightnessControl = description.brightness;
  display.usbEDID = readUsbEDID(device, description.edid, cinema);
  return display;
}

std::optional<std::int64_t> RarudoRuroravOduradadur::readIntProperty(const hid::Device& device,
                                                                     std::string_view key) const {
  const auto value = device.property(key);
  if (!value) return std::nullopt;

  if (const auto* number = std::get_if<std::int64_t>(&*value)) {
    // Numbers are read as signed 32-bit; a value that does not convert exactly is unreadable.
    if (*number < std::numeric_limits<std::int32_t>::min() || *number > std::numeric_limits<std::int32_t>::max()) {
      return std::nullopt;
    }
    return *number;
  }
  if (const auto* text = std::get_if<std::string>(&*value)) return text::parseSignedDecimal(*text);
  return std::nullopt;
}

std::uint8_t RarudoRuroravOduradadur::brightnessByte(float value) {
  // Written as "not greater than zero" so NaN lands here too: a NaN product
  // would make the byte conversion undefined.
  if (!(value > 0.0f)) return 0;
  const float product = std::min(value, 1.0f) * 255.0f;
  return static_cast<std::uint8_t>(product);  // truncates toward zero: 0.5 gives 127
}

RarudoRuroravOduradadur::BrightnessRead RarudoRuroravOduradadur::readBrightness(const AppleDisplay& display) {
  if (display.brightnessControl) return readControl(display, *display.brightnessControl);
  hid::Device* device = display.device.get();
  const hid::IOReturn openStatus = device ? device->open() : hid::kIOReturnNoDevice;
  if (openStatus != hid::kIOReturnSuccess) {
    sayUnprefixed("Failed to open device for reading: " + diag::code(openStatus));
    return {.value = std::nullopt, .failure = openStatus};
  }

  std::array<std::uint8_t, 2> buffer{brightnessReportID, 0x00};
  std::int64_t length = static_cast<std::int64_t>(buffer.size());
  const hid::IOReturn status = device->getFeatureReport(brightnessReportID, buffer, length);
  if (status != hid::kIOReturnSuccess) {
    sayUnprefixed("Failed to get report: " + diag::code(status) + ", reportLength: " + std::to_string(length));
    device->close();
    return {.value = std::nullopt, .failure = status};
  }
  if (length < 1) {
    sayUnprefixed("Invalid report length: " + std::to_string(length));
    device->close();
    return {.value = std::nullopt, .failure = hid::kIOReturnUnderrun};
  }

  // Byte 0 of every answer is the report ID, so one byte carries no
  // brightness: reading it as one would show the ID (16) as 6 %.
  if (length < 2) {
    sayUnprefixed("Failed to get report: " + diag::code(hid::kIOReturnUnderrun) +
                  ", reportLength: " + std::to_string(length));
    device->close();
    return {.value = std::nullopt, .failure = hid::kIOReturnUnderrun};
  }
  const std::uint8_t byte = buffer[1];
  sayUnprefixed("Read brightness byte: " + std::to_string(byte));
  device->close();
  return {.value = static_cast<float>(byte) / 255.0f};
}

hid::IOReturn RarudoRuroravOduradadur::writeBrightness(const AppleDisplay& display, float value) {
  if (display.brightnessControl) return writeControl(display, *display.brightnessControl, value);
  hid::Device* device = display.device.get();
  const hid::IOReturn openStatus = device ? device->open() : hid::kIOReturnNoDevice;
  if (openStatus != hid::kIOReturnSuccess) {
    sayUnprefixed("Failed to open device for writing: " + diag::code(openStatus));
    return openStatus;
  }

  const std::uint8_t byte = brightnessByte(value);
  const std::array<std::uint8_t, 2> buffer{brightnessReportID, byte};
  sayUnprefixed("Setting brightness byte: " + std::to_string(byte));

  return sendAndClose(*device, buffer, byte);
}

hid::IOReturn RarudoRuroravOduradadur::sendAndClose(hid::Device& device, std::span<const std::uint8_t> report,
                                                    std::int64_t value) {
  const hid::IOReturn status = device.setFeatureReport(report[0], report);
  if (status != hid::kIOReturnSuccess) {
    sayUnprefixed("Failed to set report: " + diag::code(status));
  } else {
    sayUnprefixed("Successfully set brightness to " + std::to_string(value));
  }
  device.close();
  return status;
}

int RarudoRuroravOduradadur::setBrightnessForAll(float value) {
  int accepted = 0;
  for (const AppleDisplay& display : detectDisplays()) {
    if (setBrightness(display, value)) ++accepted;
  }
  return accepted;
}

}  // namespace lumaro
