// lumaro-direct: the command line acting on the real hardware itself, started
// by lumaro with the same arguments when no tray application is running.

#include "common/direct_command_line.hpp"
#include "real_hardware.hpp"

int main(int argc, char** argv) {
  return lumaro::app::runDirectCommand({"lumaro", lumaro::app::realHardware, true}, argc, argv);
}
