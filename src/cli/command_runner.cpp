#include "cli/command_runner.hpp"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "cli/display_selection.hpp"
#include "cli/json_text.hpp"
#include "diagnostics/format.hpp"
#include "display_control/access_rule.hpp"
#include "model/brightness_percent.hpp"

namespace lumaro::cli {

namespace {

std::optional<int> percentOf(const DisplayStatus& display) {
  if (!display.brightness) return std::nullopt;
  return brightnessPercent(*display.brightness);
}

std::string percentText(std::optional<int> percent) { return percent ? std::to_string(*percent) + "%" : "-"; }

// A tab or line break in a USB string would break the columns and lines of
// text output: control characters are shown as \xHH instead.
std::string printable(std::string_view text) {
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      constexpr std::string_view digits = "0123456789abcdef";
      out += "\\x";
      out += digits[byte >> 4];
      out += digits[byte & 0xF];
    } else {
      out += c;
    }
  }
  return out;
}

std::string label(const DisplayStatus& display) {
  return "display " + std::to_string(display.number) + " (" + printable(display.name) + ")";
}

class Run {
 public:
  Run(DisplayCommands& displays, const Terminal& terminal) : displays_(displays), t_(terminal) {}

  int list(const Command& command) {
    const auto answer = displays_.list();
    const auto* all = answered(answer);
    if (all == nullptr) return kExitFailure;
    // Said apart from the results, so an empty list is never mistaken for a silent failure.
    if (all->empty()) t_.err << t_.program << ": no Apple display is attached\n";
    std::vector<std::string> objects;
    for (const auto& display : *all) {
      if (display.readFailure != DisplayFailure::none) reportFailure(display, display.readFailure, "read");
      if (command.json) {
        objects.push_back(json::Object()
                              .add("number", static_cast<long long>(display.number))
                              .add("id", display.id)
                              .add("name", display.name)
                              .add("productId", static_cast<long long>(display.productID))
                              .addNullable("serialNumber", display.serialNumber)
                              .addNullable("brightness", percentOf(display))
                              .text());
      } else {
        t_.out << display.number << '\t' << printable(display.name) << "\t0x" << diag::hex4(display.productID)
               << '\t' << printable(display.serialNumber.value_or("-")) << '\t' << percentText(percentOf(display))
               << '\n';
      }
    }
    if (command.json) printArray(objects);
    return kExitSuccess;
  }

  int get(const Command& command) {
    const auto answer = displays_.list();
    const auto* all = answered(answer);
    if (all == nullptr) return kExitFailure;
    const auto chosen = selectDisplays(*all, command.display, t_.program);
    const auto* displays = answered(chosen);
    if (displays == nullptr) return kExitFailure;
    int status = kExitSuccess;
    std::vector<std::string> objects;
    for (const auto& display : *displays) {
      if (display.readFailure != DisplayFailure::none) {
        reportFailure(display, display.readFailure, "read");
        status = kExitFailure;
      }
      if (command.json) {
        objects.push_back(json::Object()
                              .add("number", static_cast<long long>(display.number))
                              .add("id", display.id)
                              .addNullable("serialNumber", display.serialNumber)
                              .addNullable("brightness", percentOf(display))
                              .text());
      } else if (display.brightness) {
        printBrightness(command, display.number, *display.brightness);
      }
    }
    if (command.json) {
      if (command.display) {
        t_.out << objects.front() << '\n';
      } else {
        printArray(objects);
      }
    }
    return status;
  }

  int set(const Command& command) {
    const auto answer = displays_.setBrightness(command.display, *command.value);
    const auto* outcomes = answered(answer);
    if (outcomes == nullptr) return kExitFailure;
    int status = kExitSuccess;
    for (const auto& outcome : *outcomes) {
      if (outcome.failure != DisplayFailure::none || outcome.failedRead) {
        reportFailure(outcome.display, outcome.failure, outcome.failedRead ? "read" : "write");
        status = kExitFailure;
        continue;
      }
      // As the window shows it.
      printBrightness(command, outcome.display.number, outcome.display.brightness.value_or(0.0f));
    }
    return status;
  }

  int info(const Command& command) {
    const auto answer = displays_.info(*command.display);
    const auto* found = answered(answer);
    if (found == nullptr) return kExitFailure;
    const DisplayStatus& display = found->display;
    if (!found->details) {
      t_.err << t_.program << ": no EDID information could be found for " << label(display) << '\n';
      return kExitFailure;
    }
    const DisplayEDIDDetails& details = *found->details;
    if (command.json) {
      json::Object edid;
      for (const auto& field : kEDIDFields) edid.add(field.key, details.*field.member);
      t_.out << json::Object()
                    .add("number", static_cast<long long>(display.number))
                    .add("name", display.name)
                    .addRaw("edid", edid.text())
                    .text()
             << '\n';
    } else {
      for (const auto& field : kEDIDFields) t_.out << field.title << ": " << printable(details.*field.member) << '\n';
    }
    return kExitSuccess;
  }

 private:
  // The answer's value, or null after its error line.
  template <typename T>
  const T* answered(const Answer<T>& answer) {
    if (const auto* error = std::get_if<CommandError>(&answer)) {
      t_.err << t_.program << ": " << error->message << '\n';
      return nullptr;
    }
    return &std::get<T>(answer);
  }

  void reportFailure(const DisplayStatus& display, DisplayFailure failure, std::string_view what) {
    t_.err << t_.program << ": ";
    switch (failure) {
      case DisplayFailure::notPermitted:
        t_.err << "no permission to " << what << " the brightness of " << label(display);
        if (const auto line = display.vendorID ? accessRuleLineToAdd(*display.vendorID, display.productID)
                                               : std::nullopt) {
          t_.err << ", and the udev rule 70-lumaro.rules does not list it; add this line to "
                    "/etc/udev/rules.d/70-lumaro.rules, then unplug the display and plug it in again: "
                 << *line;
        } else {
          t_.err << "; install the udev rule 70-lumaro.rules, then unplug the display and plug it in again "
                    "(see lumaro(1))";
        }
        break;
      case DisplayFailure::gone:
        t_.err << label(display) << " is no longer attached";
        break;
      case DisplayFailure::refused:
      case DisplayFailure::none:
        t_.err << label(display) << " did not let its brightness be " << (what == "read" ? "read" : "written");
        break;
    }
    t_.err << '\n';
  }

  // One display named: just its percentage; several: "number<TAB>percentage".
  void printBrightness(const Command& command, std::size_t number, float brightness) {
    if (!command.display) t_.out << number << '\t';
    t_.out << brightnessPercent(brightness) << "%\n";
  }

  void printArray(const std::vector<std::string>& objects) {
    t_.out << '[';
    for (std::size_t i = 0; i < objects.size(); ++i) t_.out << (i == 0 ? "" : ",") << objects[i];
    t_.out << "]\n";
  }

  DisplayCommands& displays_;
  const Terminal& t_;
};

}  // namespace

int reportUsageError(const UsageError& error, const Terminal& terminal) {
  terminal.err << terminal.program << ": " << error.message << '\n' << usageLine(terminal.program) << '\n';
  return kExitUsage;
}

bool needsDisplays(const Command& command) {
  return command.kind != Command::Kind::help && command.kind != Command::Kind::version;
}

int runCommand(const Command& command, DisplayCommands* displays, const Terminal& terminal) {
  if (command.kind == Command::Kind::help) {
    terminal.out << helpText(terminal.program);
    return kExitSuccess;
  }
  if (command.kind == Command::Kind::version) {
    terminal.out << terminal.program << ' ' << terminal.version << '\n';
    return kExitSuccess;
  }
  if (displays == nullptr) return kExitFailure;
  Run run(*displays, terminal);
  switch (command.kind) {
    case Command::Kind::help:
    case Command::Kind::version:
      break;
    case Command::Kind::list:
      return run.list(command);
    case Command::Kind::get:
      return run.get(command);
    case Command::Kind::set:
      return run.set(command);
    case Command::Kind::info:
      return run.info(command);
  }
  return kExitUsage;
}

int runArguments(std::span<const std::string_view> arguments, const Terminal& terminal, const DisplaysFor& open) {
  const auto parsed = parseCommandLine(arguments);
  if (const auto* error = std::get_if<UsageError>(&parsed)) return reportUsageError(*error, terminal);
  const auto& command = std::get<Command>(parsed);
  if (!needsDisplays(command)) return runCommand(command, nullptr, terminal);
  const auto displays = open(command);
  return runCommand(command, displays.get(), terminal);
}

}  // namespace lumaro::cli
