// lumaro-demo-direct: the command line acting on the demo's simulated
// displays itself, started by lumaro-demo when no demo tray is running.

#include "common/direct_command_line.hpp"
#include "demo/demo_hardware.hpp"

int main(int argc, char** argv) {
  lumaro::demo::DemoHardware hardware;
  lumaro::demo::configureFromEnvironment(hardware);
  const auto ports = [&hardware](std::shared_ptr<lumaro::LineSink> sink) { return hardware.ports(std::move(sink)); };
  return lumaro::app::runDirectCommand({"lumaro-demo", ports}, argc, argv);
}
