#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "cli/brightness_value.hpp"

namespace lumaro::cli {

// One invocation of `lumaro` with arguments.
struct Command {
  enum class Kind { list, get, set, info, help, version };
  Kind kind = Kind::help;
  // The DISPLAY argument as written: a number from `list` or a serial
  // number; absent for "all" and for subcommands without one.
  std::optional<std::string> display;
  std::optional<BrightnessValue> value;  // set only
  bool json = false;
  bool verbose = false;

  bool operator==(const Command&) const = default;
};

// Why the arguments do not make a command; printed with the usage line.
struct UsageError {
  std::string message;
  bool operator==(const UsageError&) const = default;
};

// `arguments` excludes the program name.
std::variant<Command, UsageError> parseCommandLine(std::span<const std::string_view> arguments);

// The one-line synopsis printed with every usage error.
std::string usageLine(std::string_view program);
// The whole --help text.
std::string helpText(std::string_view program);

}  // namespace lumaro::cli
