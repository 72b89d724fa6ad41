#include "common/command_front.hpp"

#include <iostream>
#include <vector>

#include "adapters/buswire/bus_display_commands.hpp"
#include "cli/command_runner.hpp"
#include "cli/instance_or_hardware.hpp"
#include "common/sibling_launcher.hpp"

namespace lumaro::app {

namespace {

// The hardware's place in this process: its first call hands the whole
// command over to the direct command line, which runs it from the start.
// Nothing is printed before the first answer, so nothing is printed twice.
class DirectHandOver final : public DisplayCommands {
 public:
  DirectHandOver(const std::string& directName, char** argv) : directName_(directName), argv_(argv) {}

  Answer<std::vector<DisplayStatus>> list() override { return handOver(); }
  Answer<std::vector<WriteOutcome>> setBrightness(const std::optional<std::string>&,
                                                  const cli::BrightnessValue&) override {
    return handOver();
  }
  Answer<DisplayInfo> info(const std::string&) override { return handOver(); }

 private:
  CommandError handOver() {
    std::cout.flush();
    std::cerr.flush();
    return {CommandError::Kind::unanswered, execSibling(directName_.c_str(), argv_)};
  }

  std::string directName_;
  char** argv_;
};

}  // namespace

int runCommandFront(const CommandFront& front, int argc, char** argv) {
  const std::vector<std::string_view> arguments(argv + 1, argv + argc);
  const auto throughInstance = [&front, argv](const cli::Command& command) {
    return std::make_unique<cli::InstanceOrHardware>(
        buswire::BusDisplayCommands::connectTo(front.busName),
        [&front, argv] { return std::make_unique<DirectHandOver>(front.directName, argv); },
        [&front, verbose = command.verbose] {
          if (verbose) std::cerr << front.program << ": using the running instance " << front.busName << '\n';
        });
  };
  return cli::runArguments(arguments, {front.program, LUMARO_VERSION, std::cout, std::cerr}, throughInstance);
}

}  // namespace lumaro::app
