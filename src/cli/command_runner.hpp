#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <span>
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

// What a command acts on; asked only for a command that needs displays.
using DisplaysFor = std::function<std::unique_ptr<DisplayCommands>(const Command&)>;

// Parses `arguments` (without the program name) and runs the command they
// make on the displays `open` gives; returns the exit status.
int runArguments(std::span<const std::string_view> arguments, const Terminal& terminal, const DisplaysFor& open);

// Prints `error` with the usage line; returns kExitUsage.
int reportUsageError(const UsageError& error, const Terminal& terminal);

}  // namespace lumaro::cli
