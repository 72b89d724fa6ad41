#include "common/direct_command_line.hpp"

#include <iostream>
#include <vector>

#include "adapters/simulated/manual_dispatch_queues.hpp"
#include "adapters/simulated/simulated_device_events.hpp"
#include "cli/command_runner.hpp"
#include "cli/hid_failure_watch.hpp"
#include "cli/model_display_commands.hpp"
#include "cli/stream_line_sink.hpp"
#include "common/remembered_levels.hpp"
#include "model/lumaro_manager.hpp"

namespace lumaro::app {

namespace {

// The hardware path: the application's controller and model on queues that
// the commands pump. A command is one short sequence of steps, so nothing
// runs in the background and no event loop is needed.
std::unique_ptr<DisplayCommands> onHardware(const cli::Command& command, const DirectCommandLine& app) {
  std::shared_ptr<LineSink> sink;
  if (command.verbose) {
    sink = std::make_shared<cli::StreamLineSink>(std::cerr);
  } else {
    sink = std::make_shared<DiscardingLineSink>();  // standard output carries results only
  }
  auto queues = std::make_shared<ManualDispatchQueues>();
  // A timer that never fires: a command is over within the save interval, and
  // the memory saves what is pending when the manager goes.
  auto manager = LumaroManager::create(std::make_unique<RarudoRuroravOduradadur>(cli::watchedPorts(app.hardware(sink))),
                                       queues, sink,
                                       app.remembersLevels ? rememberedLevels(sink, false, std::make_unique<ManualTimer>())
                                                           : nullptr);
  return std::make_unique<cli::ModelDisplayCommands>(std::move(manager), [queues] { queues->runAll(); }, app.program);
}

}  // namespace

int runDirectCommand(const DirectCommandLine& app, int argc, char** argv) {
  const std::vector<std::string_view> arguments(argv + 1, argv + argc);
  return cli::runArguments(arguments, {app.program, LUMARO_VERSION, std::cout, std::cerr},
                           [&app](const cli::Command& command) { return onHardware(command, app); });
}

}  // namespace lumaro::app
