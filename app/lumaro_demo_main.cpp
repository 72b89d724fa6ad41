// lumaro-demo: with arguments, the command line on the demo's simulated
// displays (or through the running demo); without, the demo tray application.

#include <optional>

#include "common/command_line_app.hpp"
#include "common/tray_launcher.hpp"
#include "demo/demo_hardware.hpp"
#include "cli/bus_names.hpp"

int main(int argc, char** argv) {
  if (argc <= 1) return lumaro::app::execTray("lumaro-demo-tray", argv);
  // Built only for a command that acts on the displays itself, not one the running demo answers.
  std::optional<lumaro::demo::DemoHardware> hardware;
  const auto ports = [&hardware](std::shared_ptr<lumaro::LineSink> sink) {
    if (!hardware) lumaro::demo::configureFromEnvironment(hardware.emplace());
    return hardware->ports(std::move(sink));
  };
  return lumaro::app::runCommandLine({"lumaro-demo", lumaro::dbus::kDemoBusName, ports}, argc,
                                     argv);
}
