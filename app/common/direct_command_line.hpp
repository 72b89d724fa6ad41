#pragma once

#include <string>

#include "common/hardware_factory.hpp"

namespace lumaro::app {

struct DirectCommandLine {
  std::string program;  // "lumaro", in messages
  HardwareFactory hardware;
  bool remembersLevels = false;  // levels set are kept for the tray to restore
};

// Runs `program <arguments>` on the hardware itself and returns its exit
// status. The command line's front starts this when no instance is running.
// Loads no Qt.
int runDirectCommand(const DirectCommandLine& app, int argc, char** argv);

}  // namespace lumaro::app
