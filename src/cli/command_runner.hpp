#pragma once

#include <ostream>
#include <string_view>

#include "cli/command_line.hpp"
#include "cli/display_commands.hpp"

namespace lumaro::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;  // the operation failed
inline constexpr int kExitUsage = 2;    // the arguments make no command

struct Terminal {
  std::string_view program;  // "lumaro", named in every error line
  std::string_view version;
  std::ostream& out;  // results only
  std::ostream& err;  // errors and the usage line
};

// False for --help and --version, which print without touching a display.
bool needsDisplays(const Command& command);

// Runs `command` against `displays` (null only when !needsDisplays) and
// returns the exit status. A command that names an unknown display changes nothing.
int runCommand(const Command& command, DisplayCommands* displays, const Terminal& terminal);

// Prints `error` with the usage line; returns kExitUsage.
int reportUsageError(const UsageError& error, const Terminal& terminal);

}  // namespace lumaro::cli
