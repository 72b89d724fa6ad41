#include "cli/command_runner.hpp"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "cli/json_text.hpp"
#include "diagnostics/format.hpp"

namespace lumaro::cli {

namespace {

std::optional<int> percentOf(const DisplayStatus& display) {
  if (!display.brightness) return std::nullopt;
  return wholePercent(*display.brightness);
}

std::string percentText(std::optional<int> percent) { return percent ? std::to_string(*percent) + "%" : "-"; }

std::string label(const DisplayStatus& display) {
  return "display " + std::to_string(display.number) + " (" + display.name + ")";
}

class Run {
 public:
  Run(DisplayCommands& displays, const Terminal& terminal) : displays_(displays), t_(terminal) {}

  int list(const Command& command) {
    const auto all = displays_.list();
    std::vector<std::string> objects;
    for (const auto& display : all) {
      if (display.readFailure != DisplayFailure::none) reportFailure(display, display.readFailure, "read");
      if (command.json) {
        objects.push_back(json::Object()
                              .add("number", static_cast<long long>(display.number))
                              .add("name", display.name)
                              .add("productId", static_cast<long long>(display.productID))
                              .addNullable("serialNumber", display.serialNumber)
                              .addNullable("brightness", percentOf(display))
                              .text());
      } else {
        t_.out << display.number << '\t' << display.name << "\t0x" << diag::hex4(display.productID) << '\t'
               << display.serialNumber.value_or("-") << '\t' << percentText(percentOf(display)) << '\n';
      }
    }
    if (command.json) printArray(objects);
    return kExitSuccess;
  }

  int get(const Command& command) {
    const auto chosen = choose(command);
    if (!chosen) return kExitFailure;
    int status = kExitSuccess;
    std::vector<std::string> objects;
    for (const auto& display : *chosen) {
      if (display.readFailure != DisplayFailure::none) {
        reportFailure(display, display.readFailure, "read");
        status = kExitFailure;
      }
      if (command.json) {
        objects.push_back(json::Object()
                              .add("number", static_cast<long long>(display.number))
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
    const auto chosen = choose(command);
    if (!chosen) return kExitFailure;
    int status = kExitSuccess;
    for (const auto& display : *chosen) {
      if (command.value->kind == BrightnessValue::Kind::relative && !display.brightness) {
        // Moving from an unknown level could jump anywhere.
        reportFailure(display, display.readFailure, "read");
        status = kExitFailure;
        continue;
      }
      const float target = command.value->applyTo(display.brightness.value_or(0.0f));
      const DisplayFailure failure = displays_.setBrightness(display.number, target);
      if (failure != DisplayFailure::none) {
        reportFailure(display, failure, "write");
        status = kExitFailure;
        continue;
      }
      // As the window shows it.
      printBrightness(command, display.number, target);
    }
    return status;
  }

  int info(const Command& command) {
    const auto chosen = choose(command);
    if (!chosen) return kExitFailure;
    const DisplayStatus& display = chosen->front();
    const auto details = displays_.info(display.number);
    if (!details) {
      t_.err << t_.program << ": no EDID information could be found for " << label(display) << '\n';
      return kExitFailure;
    }
    if (command.json) {
      json::Object edid;
      for (const auto& field : kEDIDFields) edid.add(field.key, (*details).*field.member);
      t_.out << json::Object()
                    .add("number", static_cast<long long>(display.number))
                    .add("name", display.name)
                    .addRaw("edid", edid.text())
                    .text()
             << '\n';
    } else {
      for (const auto& field : kEDIDFields) t_.out << field.title << ": " << (*details).*field.member << '\n';
    }
    return kExitSuccess;
  }

 private:
  // The displays `command` names: one, or all when it names none. Absent,
  // after an error line, when there is no such display.
  std::optional<std::vector<DisplayStatus>> choose(const Command& command) {
    auto all = displays_.list();
    if (!command.display) {
      if (all.empty()) {
        t_.err << t_.program << ": no Apple display found\n";
        return std::nullopt;
      }
      return all;
    }
    const std::string& wanted = *command.display;
    const bool numeric = !wanted.empty() && wanted.find_first_not_of("0123456789") == std::string::npos;
    if (numeric && wanted.size() <= 3) {
      const auto number = static_cast<std::size_t>(std::stoul(wanted));
      if (number >= 1 && number <= all.size()) return std::vector{all[number - 1]};
    }
    // Not a number in range: perhaps a serial number made of digits.
    const auto bySerial =
        std::find_if(all.begin(), all.end(), [&](const DisplayStatus& d) { return d.serialNumber == wanted; });
    if (bySerial != all.end()) return std::vector{*bySerial};
    t_.err << t_.program << ": no display '" << wanted << "' (" << all.size()
           << (all.size() == 1 ? " display" : " displays") << " attached; see '" << t_.program << " list')\n";
    return std::nullopt;
  }

  void reportFailure(const DisplayStatus& display, DisplayFailure failure, std::string_view what) {
    t_.err << t_.program << ": ";
    switch (failure) {
      case DisplayFailure::notPermitted:
        t_.err << "no permission to " << what << " the brightness of " << label(display)
               << "; install the udev rule 70-lumaro.rules, then unplug the display and plug it in again "
                  "(see lumaro(1))";
        break;
      case DisplayFailure::gone:
        t_.err << label(display) << " is no longer attached";
        break;
      case DisplayFailure::unreachable:
        t_.err << "the running Lumaro did not answer";
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
    t_.out << wholePercent(brightness) << "%\n";
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

}  // namespace lumaro::cli
