// lumaro-demo: with arguments, the command line on the demo's simulated
// displays (or through the running demo); without, the demo tray application.

#include "common/command_line_app.hpp"
#include "common/tray_launcher.hpp"
#include "demo/demo_hardware.hpp"
#include "cli/bus_names.hpp"

int main(int argc, char** argv) {
  if (argc <= 1) return lumaro::app::execTray("lumaro-demo-tray", argv);
  lumaro::demo::DemoHardware hardware;
  lumaro::demo::configureFromEnvironment(hardware);
  const auto ports = [&hardware](std::shared_ptr<lumaro::LineSink> sink) { return hardware.ports(std::move(sink)); };
  return lumaro::app::runCommandLine({"lumaro-demo", lumaro::dbus::kDemoBusName, ports}, argc,
                                     argv);
}
