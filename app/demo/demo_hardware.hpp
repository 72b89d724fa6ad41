#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "display_control/rarudo_rurorav_oduradadur.hpp"
#include "adapters/simulated/simulated_device_events.hpp"
#include "adapters/simulated/simulated_display_services.hpp"
#include "adapters/simulated/simulated_hid.hpp"

// The simulated machine behind lumaro-demo: Cinema Displays on the USB bus,
// the online-display list and registry carrying their real EDIDs, and a
// registry dump tool that prints them, so every flow of the application
// works without a display attached.
namespace lumaro::demo {

struct DemoDisplay {
  hid::SimulatedCinemaDisplay::Identity usb;
  std::string edidName;  // the display's EDID among the compiled-in ones (demoEdid)
  // Listed among the online displays with a registry service, so the lookup
  // finds it directly; otherwise only the registry dump carries it.
  bool online = false;
  std::string dumpProductName;  // what the registry dump calls it
  std::string dumpConnection;   // "DFP Type Description" in the dump
  std::int64_t dumpMaxBpc = 8;
};

// The two displays of the demo: an LED Cinema Display found through the
// online-display list, and a Cinema HD Display of another model that reports
// no product name and is found by serial number in the registry dump.
std::vector<DemoDisplay> defaultDemoDisplays();

// The compiled-in EDID of a test fixture ("apple-led-cinema-9226"); empty when missing.
std::vector<std::uint8_t> demoEdid(std::string_view name);

// Registry dump text in the tool's "-l -w 0" form: one display node per
// entry, each with its hints (maximum bits per colour) and a metadata line
// holding the product name, the connection and the whole EDID.
struct DumpEntry {
  std::string productName;
  std::string connection;
  std::int64_t maxBpc = 8;
  std::vector<std::uint8_t> edid;
};
std::string registryDumpText(const std::vector<DumpEntry>& entries);

// A registry dump tool: "/usr/sbin/ioreg -l -w 0" prints `text` and exits 0;
// anything else fails to launch, as on a machine without the tool.
class SimulatedRegistryDumpTool final : public process::ProcessLauncher {
 public:
  explicit SimulatedRegistryDumpTool(std::string text) : text_(std::move(text)) {}
  process::RunResult run(const std::string& executable, const std::vector<std::string>& arguments) override;

 private:
  const std::string text_;
};

class DemoHardware {
 public:
  // Attaches the first `attached` of `displays` to the USB bus; the others
  // stay unplugged until setAttached().
  explicit DemoHardware(std::vector<DemoDisplay> displays = defaultDemoDisplays(),
                        std::optional<std::size_t> attached = std::nullopt);

  // Ports for the controller. The parts stay shared with this object, so
  // plugging and unplugging keeps working while the controller owns them.
  ControllerPorts ports(std::shared_ptr<LineSink> sink) const;

  // Plugs the first `count` displays in and pulls the rest, raising one
  // device event per display that came or went, as the kernel would.
  void setAttached(std::size_t count);
  // Where those events arrive.
  devices::DeviceEvents& deviceEvents() { return events_; }
  std::size_t attached() const { return attached_; }
  std::size_t available() const { return usbDisplays_.size(); }

  const std::vector<std::shared_ptr<hid::SimulatedCinemaDisplay>>& usbDisplays() const { return usbDisplays_; }
  const std::shared_ptr<displays::SimulatedDisplayServices>& displayServices() const { return services_; }

 private:
  std::vector<std::shared_ptr<hid::SimulatedCinemaDisplay>> usbDisplays_;
  std::shared_ptr<hid::SimulatedHidManager> hid_ = std::make_shared<hid::SimulatedHidManager>();
  std::shared_ptr<displays::SimulatedDisplayServices> services_ =
      std::make_shared<displays::SimulatedDisplayServices>();
  std::shared_ptr<SimulatedRegistryDumpTool> dumpTool_;
  std::size_t attached_ = 0;
  SimulatedDeviceEvents events_;
};

// Sets `hardware` up as the environment asks: LUMARO_DEMO_DISPLAYS=0, 1, ...
// displays attached (default all); LUMARO_DEMO_NO_PERMISSION=1 makes them
// refuse to be opened, as a real display does before the udev rule grants access.
void configureFromEnvironment(DemoHardware& hardware);

}  // namespace lumaro::demo
