#include "common/command_line_app.hpp"

#include <QCoreApplication>
#include <iostream>
#include <vector>

#include "cli/command_runner.hpp"
#include "cli/hid_failure_watch.hpp"
#include "cli/model_display_commands.hpp"
#include "cli/stream_line_sink.hpp"
#include "common/main_queue.hpp"
#include "common/remembered_levels.hpp"
#include "model/lumaro_manager.hpp"
#include "adapters/dbus/dbus_display_commands.hpp"
#include "adapters/qt/qt_dispatch_queues.hpp"

namespace lumaro::app {

namespace {

// The hardware path: the application's controller, model and queues, without
// widgets. Needs the QCoreApplication.
int runOnHardware(const cli::Command& command, const CommandLineApp& app, const cli::Terminal& terminal) {
  std::shared_ptr<LineSink> sink;
  if (command.verbose) {
    sink = std::make_shared<cli::StreamLineSink>(std::cerr);
  } else {
    sink = std::make_shared<DiscardingLineSink>();  // standard output carries results only
  }
  auto queues = std::make_shared<QtDispatchQueues>();
  auto manager = LumaroManager::create(std::make_unique<RarudoRuroravOduradadur>(cli::watchedPorts(app.hardware(sink))),
                                       queues, sink, app.remembersLevels ? rememberedLevels(sink, false) : nullptr);
  int status = 0;
  {
    cli::ModelDisplayCommands displays(manager, settleMainQueue(*queues));
    status = cli::runCommand(command, &displays, terminal);
  }
  // As the tray does at exit: lookups end before the queues go, and a
  // destruction they handed to the main queue runs.
  manager.reset();
  queues->waitForGlobal();
  QCoreApplication::processEvents();
  return status;
}

}  // namespace

int runCommandLine(const CommandLineApp& app, int argc, char** argv) {
  std::vector<std::string_view> arguments(argv + 1, argv + argc);
  const cli::Terminal terminal{app.program, LUMARO_VERSION, std::cout, std::cerr};
  const auto parsed = cli::parseCommandLine(arguments);
  if (const auto* error = std::get_if<cli::UsageError>(&parsed)) return cli::reportUsageError(*error, terminal);
  const auto& command = std::get<cli::Command>(parsed);
  if (!cli::needsDisplays(command)) return cli::runCommand(command, nullptr, terminal);

  // QtDBus and the main queue need an application object; a core one starts no GUI.
  QCoreApplication core(argc, argv);
  if (auto instance = dbus::DbusDisplayCommands::connectTo(app.busName)) {
    if (command.verbose) {
      std::cerr << app.program << ": using the running instance " << app.busName.toStdString() << '\n';
    }
    return cli::runCommand(command, &*instance, terminal);
  }
  return runOnHardware(command, app, terminal);
}

}  // namespace lumaro::app
