#include "cli/command_line.hpp"

#include <array>
#include <utility>
#include <vector>

namespace lumaro::cli {

namespace {

struct Subcommand {
  std::string_view name;
  Command::Kind kind;
  std::size_t minOperands;
  std::size_t maxOperands;
  bool takesJson;
};

constexpr std::array<Subcommand, 4> kSubcommands = {{
    {"list", Command::Kind::list, 0, 0, true},
    {"get", Command::Kind::get, 0, 1, true},
    {"set", Command::Kind::set, 2, 2, false},
    {"info", Command::Kind::info, 1, 1, true},
}};

// "-5%" is a value, not an option: options start with a letter after the dash.
bool looksLikeOption(std::string_view argument) {
  if (argument.size() < 2 || argument.front() != '-') return false;
  const char next = argument[1];
  return next == '-' || (next >= 'a' && next <= 'z') || (next >= 'A' && next <= 'Z');
}

UsageError error(std::string message) { return UsageError{std::move(message)}; }

}  // namespace

std::variant<Command, UsageError> parseCommandLine(std::span<const std::string_view> arguments) {
  Command command;
  bool help = false;
  bool version = false;
  std::vector<std::string_view> operands;
  bool optionsEnded = false;
  for (const std::string_view argument : arguments) {
    if (optionsEnded) {
      operands.push_back(argument);
    } else if (argument == "--") {
      optionsEnded = true;  // "set 1 -- -5%": what follows is never an option
    } else if (argument == "--json") {
      command.json = true;
    } else if (argument == "-v" || argument == "--verbose") {
      command.verbose = true;
    } else if (argument == "-h" || argument == "--help") {
      help = true;
    } else if (argument == "--version") {
      version = true;
    } else if (looksLikeOption(argument)) {
      return error("unknown option '" + std::string(argument) + "'");
    } else {
      operands.push_back(argument);
    }
  }
  const Subcommand* subcommand = nullptr;
  for (const auto& candidate : kSubcommands) {
    if (!operands.empty() && candidate.name == operands.front()) subcommand = &candidate;
  }
  // A mistyped subcommand stays an error even beside --help, so a script sees it.
  if (!operands.empty() && subcommand == nullptr) {
    return error("unknown subcommand '" + std::string(operands.front()) + "'");
  }
  if (help || version) {
    command.kind = help ? Command::Kind::help : Command::Kind::version;
    return command;
  }
  if (operands.empty()) return error("missing subcommand");
  command.kind = subcommand->kind;
  const std::string name(subcommand->name);
  const std::size_t count = operands.size() - 1;
  if (count < subcommand->minOperands) return error(name + ": missing " + (count == 0 ? "DISPLAY" : "VALUE"));
  if (count > subcommand->maxOperands)
    return error(name + ": unexpected argument '" + std::string(operands.back()) + "'");
  if (command.json && !subcommand->takesJson) return error(name + ": --json is not supported");

  if (count >= 1 && operands[1] != "all") command.display = std::string(operands[1]);
  if (count >= 1 && operands[1] == "all" && command.kind == Command::Kind::info) {
    return error("info: DISPLAY must be one display, not 'all'");
  }
  if (command.kind == Command::Kind::set) {
    command.value = parseBrightnessValue(operands[2]);
    if (!command.value) {
      return error("set: invalid value '" + std::string(operands[2]) + "' (use 70%, +10%, -5% or 0.7, within 0-100 %)");
    }
  }
  return command;
}

std::string usageLine(std::string_view program) {
  return "Usage: " + std::string(program) +
         " [list | get [DISPLAY|all] | set DISPLAY|all VALUE | info DISPLAY] [--json] [-v]";
}

std::string helpText(std::string_view program) {
  const std::string p(program);
  return usageLine(program) + "\n" +
         "\n"
         "Without arguments, " +
         p +
         " starts the tray application.\n"
         "\n"
         "  list            one line per display: number, name, product ID, serial, brightness\n"
         "  get [DISPLAY]   brightness as a whole percentage (all displays when omitted)\n"
         "  set DISPLAY|all VALUE\n"
         "                  VALUE is 70%, +10%, -5% or a fraction 0.7; changes stop at 0 % and 100 %\n"
         "  info DISPLAY    the display's EDID information\n"
         "\n"
         "DISPLAY is the number that list prints (1, 2, ...), the id that list --json\n"
         "prints, or a serial number. -- ends the options.\n"
         "\n"
         "  --json          print results as JSON (list, get, info)\n"
         "  -v, --verbose   print diagnostic lines on standard error\n"
         "  -h, --help      print this help\n"
         "  --version       print the version\n"
         "\n"
         "Exit status: 0 on success, 1 when the operation failed, 2 for a usage error.\n";
}

}  // namespace lumaro::cli
