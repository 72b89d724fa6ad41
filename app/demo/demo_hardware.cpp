#include "demo/demo_hardware.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "edid/edid_identity.hpp"

namespace lumaro::demo {
namespace {

constexpr const char* kDumpTool = "/usr/sbin/ioreg";
constexpr std::uint32_t kAppleDisplayVendor = 0x0610;

std::string hex(const std::vector<std::uint8_t>& bytes) {
  std::string text;
  text.reserve(bytes.size() * 2);
  char pair[3];
  for (std::uint8_t byte : bytes) {
    std::snprintf(pair, sizeof pair, "%02x", byte);
    text += pair;
  }
  return text;
}

// The USB serial number that a display's EDID serial reads as: its decimal text.
std::optional<std::string> edidSerialText(const std::vector<std::uint8_t>& edid) {
  const auto identity = displays::edidIdentity(edid);
  if (!identity || identity->serial == 0) return std::nullopt;
  return std::to_string(identity->serial);
}

}  // namespace

std::vector<DemoDisplay> defaultDemoDisplays() {
  DemoDisplay led;
  led.usb.productID = 0x9226;
  led.usb.name = "LED Cinema Display";
  led.usb.serialNumber = "2A1133WZ6JL";
  led.usb.locationID = 0x14100000;
  led.usb.brightness = 200;
  led.edidName = "apple-led-cinema-9226";
  led.online = true;
  led.dumpProductName = "LED Cinema";
  led.dumpConnection = "DisplayPort";
  led.dumpMaxBpc = 8;

  DemoDisplay cinemaHD;
  cinemaHD.usb.productID = 0x9221;
  cinemaHD.usb.name = std::nullopt;          // listed as "Unknown Display"
  cinemaHD.usb.serialNumber = std::nullopt;  // filled from its EDID below
  cinemaHD.usb.locationID = 0x14200000;
  cinemaHD.usb.brightness = 96;
  cinemaHD.edidName = "apple-cinema-hd-921e";
  cinemaHD.online = false;
  cinemaHD.dumpProductName = "Cinema HD";
  cinemaHD.dumpConnection = "DVI";
  cinemaHD.dumpMaxBpc = 8;
  return {led, cinemaHD};
}

std::string registryDumpText(const std::vector<DumpEntry>& entries) {
  std::string text = "+-o Root  <class IORegistryEntry, id 0x100000100, retain 24>\n  {\n  }\n";
  int node = 0;
  for (const DumpEntry& entry : entries) {
    char header[160];
    std::snprintf(header, sizeof header,
                  "  +-o DCPAVServiceProxy  <class DCPAVServiceProxy, id 0x1000%04x, registered, matched, active, "
                  "busy 0 (0 ms), retain 10>\n",
                  0xa51 + node++);
    text += header;
    text += "  | {\n";
    text += "  |   \"DisplayHints\" = {\"MaxBpc\"=" + std::to_string(entry.maxBpc) + ",\"ProductName\"=\"" +
            entry.productName + "\"}\n";
    text += "  |   \"Metadata\" = {\"DFP Type Description\"=\"" + entry.connection + "\",\"ProductName\"=\"" +
            entry.productName + "\",\"EDID\"=<" + hex(entry.edid) + ">}\n";
    text += "  | }\n";
  }
  return text;
}

process::RunResult SimulatedRegistryDumpTool::run(const std::string& executable,
                                                  const std::vector<std::string>& arguments) {
  if (executable != kDumpTool || arguments != std::vector<std::string>{"-l", "-w", "0"}) {
    return process::LaunchFailed{"The file \"" + executable + "\" doesn't exist."};
  }
  process::Completed completed;
  completed.standardOutput.assign(text_.begin(), text_.end());
  return completed;
}

DemoHardware::DemoHardware(std::vector<DemoDisplay> displays, std::optional<std::size_t> attached) {
  std::vector<DumpEntry> dump;
  for (DemoDisplay& display : displays) {
    const std::vector<std::uint8_t> edid = demoEdid(display.edidName);
    // The nameless display is matched by serial number, so its USB serial is
    // the one its EDID carries.
    if (!display.usb.serialNumber) display.usb.serialNumber = edidSerialText(edid);
    usbDisplays_.push_back(hid::SimulatedCinemaDisplay::make(display.usb));
    if (edid.empty()) continue;
    if (display.online) {
      const auto identity = displays::edidIdentity(edid);
      services_->addOnlineDisplay({.id = static_cast<displays::DisplayID>(usbDisplays_.size()),
                                   .vendor = kAppleDisplayVendor,
                                   .model = static_cast<std::uint32_t>(display.usb.productID),
                                   .serial = identity ? identity->serial : 0});
      services_->addService("IODisplayConnect", displays::SimulatedDisplayServices::displayService(
                                                    kAppleDisplayVendor, display.usb.productID, edid));
    }
    dump.push_back({display.dumpProductName, display.dumpConnection, display.dumpMaxBpc, edid});
  }
  dumpTool_ = std::make_shared<SimulatedRegistryDumpTool>(registryDumpText(dump));
  setAttached(attached.value_or(usbDisplays_.size()));
}

ControllerPorts DemoHardware::ports(std::shared_ptr<LineSink> sink) const {
  ControllerPorts ports;
  ports.hidManager = std::make_unique<hid::SharedSimulatedHidManager>(hid_);
  ports.displayServices = services_;
  ports.processLauncher = dumpTool_;
  ports.clock = [] { return std::chrono::system_clock::now(); };
  ports.sink = std::move(sink);
  return ports;
}

void DemoHardware::setAttached(std::size_t count) {
  const std::size_t before = attached_;
  attached_ = std::min(count, usbDisplays_.size());
  std::vector<std::shared_ptr<hid::Device>> bus(usbDisplays_.begin(),
                                                usbDisplays_.begin() + static_cast<std::ptrdiff_t>(attached_));
  hid_->setDevices(std::move(bus));
  for (std::size_t changed = std::min(before, attached_); changed < std::max(before, attached_); ++changed) {
    events_.raise();
  }
}

void configureFromEnvironment(DemoHardware& hardware) {
  const auto number = [](const char* variable) -> std::optional<long> {
    const char* text = std::getenv(variable);
    if (text == nullptr || *text == '\0') return std::nullopt;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*end != '\0') return std::nullopt;
    return value;
  };
  const auto requested = number("LUMARO_DEMO_DISPLAYS");
  hardware.setAttached(requested && *requested >= 0 ? static_cast<std::size_t>(*requested) : hardware.available());
  if (number("LUMARO_DEMO_NO_PERMISSION") == 1) {
    for (const auto& display : hardware.usbDisplays()) display->failOpen(hid::kIOReturnNotPrivileged);
  }
}

}  // namespace lumaro::demo
