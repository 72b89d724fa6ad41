// lumaro: with arguments, the command line (lumaro list|get|set|info) through
// the running tray application, or lumaro-direct on the hardware when none
// runs; without, the tray application itself.

#include <iostream>

#include "common/command_front.hpp"
#include "common/sibling_launcher.hpp"
#include "cli/bus_names.hpp"

int main(int argc, char** argv) {
  if (argc <= 1) {
    std::cerr << "lumaro: " << lumaro::app::execSibling("lumaro-tray", argv) << '\n';
    return 1;
  }
  return lumaro::app::runCommandFront({"lumaro", lumaro::dbus::kApplicationID, "lumaro-direct"}, argc, argv);
}
