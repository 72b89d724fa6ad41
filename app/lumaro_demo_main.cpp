// lumaro-demo: with arguments, the command line through the running demo, or
// lumaro-demo-direct on the demo's simulated displays when none runs; without,
// the demo tray application.

#include <iostream>

#include "common/command_front.hpp"
#include "common/sibling_launcher.hpp"
#include "cli/bus_names.hpp"

int main(int argc, char** argv) {
  if (argc <= 1) {
    std::cerr << "lumaro-demo: " << lumaro::app::execSibling("lumaro-demo-tray", argv) << '\n';
    return 1;
  }
  return lumaro::app::runCommandFront({"lumaro-demo", lumaro::dbus::kDemoBusName, "lumaro-demo-direct"}, argc, argv);
}
