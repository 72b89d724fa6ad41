#include "real_hardware.hpp"

#include <chrono>
#include <vector>

#include "adapters/backlight/backlight_hid_manager.hpp"
#include "adapters/composite/composite_hid_manager.hpp"
#include "adapters/hidapi/hidapi_hid_manager.hpp"
#include "adapters/linux/linux_display_services.hpp"
#include "adapters/logind/logind_session_brightness.hpp"
#include "adapters/posix/posix_process_launcher.hpp"

namespace lumaro::app {

ControllerPorts realHardware(std::shared_ptr<LineSink> sink) {
  ControllerPorts ports;
  // hidraw first: a display reachable both ways is listed once, through hidraw.
  std::vector<std::unique_ptr<hid::Manager>> hidManagers;
  hidManagers.push_back(std::make_unique<hid::HidapiHidManager>());
  hidManagers.push_back(
      std::make_unique<hid::BacklightHidManager>("/sys", std::make_shared<LogindSessionBrightness>()));
  ports.hidManager = std::make_unique<hid::CompositeHidManager>(std::move(hidManagers));
  ports.displayServices = std::make_shared<displays::LinuxDisplayServices>();
  ports.processLauncher = std::make_shared<process::PosixProcessLauncher>();
  ports.clock = [] { return std::chrono::system_clock::now(); };
  ports.sink = std::move(sink);
  return ports;
}

}  // namespace lumaro::app
