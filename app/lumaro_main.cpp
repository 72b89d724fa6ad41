// lumaro: with arguments, the command line (lumaro list|get|set|info) on the
// real hardware or through the running tray application; without, the tray
// application itself.

#include "common/command_line_app.hpp"
#include "common/tray_launcher.hpp"
#include "cli/bus_names.hpp"
#include "real_hardware.hpp"

int main(int argc, char** argv) {
  if (argc <= 1) return lumaro::app::execTray("lumaro-tray", argv);
  return lumaro::app::runCommandLine(
      {"lumaro", lumaro::dbus::kApplicationID, lumaro::app::realHardware, true}, argc, argv);
}
