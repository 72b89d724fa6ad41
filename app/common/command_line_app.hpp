#pragma once

#include <functional>
#include <memory>
#include <string>

#include "display_control/rarudo_rurorav_oduradadur.hpp"
#include "ports/line_sink.hpp"

namespace lumaro::app {

// The machine a command acts on when no instance is running.
using HardwareFactory = std::function<ControllerPorts(std::shared_ptr<LineSink>)>;

struct CommandLineApp {
  std::string program;  // "lumaro", in messages
  std::string busName;  // where a running instance is found
  HardwareFactory hardware;
  bool remembersLevels = false;  // levels set are kept for the tray to restore
};

// Runs `program <arguments>` and returns its exit status: through the running
// instance when one owns the bus name, otherwise on the hardware directly.
// Loads no Qt.
int runCommandLine(const CommandLineApp& app, int argc, char** argv);

}  // namespace lumaro::app
