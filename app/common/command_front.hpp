#pragma once

#include <string>

namespace lumaro::app {

struct CommandFront {
  std::string program;     // "lumaro", in messages
  std::string busName;     // where a running instance is found
  std::string directName;  // the executable that acts on the hardware itself
};

// Runs `program <arguments>` through the running instance and returns its
// exit status. When nobody owns the bus name, this process is replaced by the
// direct command line with the same arguments, so a command answered by the
// instance (the brightness keys' case) loads only what one bus call needs.
int runCommandFront(const CommandFront& front, int argc, char** argv);

}  // namespace lumaro::app
