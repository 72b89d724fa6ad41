#pragma once

#include <QDBusConnection>
#include <functional>
#include <memory>
#include <optional>

#include "adapters/dbus/session_bus_instance.hpp"
#include "adapters/qt/qt_dispatch_queues.hpp"
#include "cli/model_display_commands.hpp"
#include "common/tray_app.hpp"
#include "common/tray_presence.hpp"
#include "model/display_follower.hpp"
#include "model/level_memory.hpp"
#include "model/lumaro_manager.hpp"

namespace lumaro::app {

// The running application without its shell: the model on the hardware, the
// model following device events, and the commands it answers on the bus.
// Needs the QCoreApplication; main thread only.
class TrayInstance {
 public:
  // Wraps the commands the bus serves, e.g. to show the levels they change.
  using ServedCommands = std::function<std::unique_ptr<DisplayCommands>(DisplayCommands&)>;

  // `memory`, when given, keeps the levels the user chooses; `served`, when
  // given, wraps what the bus answers.
  TrayInstance(const TrayApp& tray, std::shared_ptr<LineSink> sink, std::shared_ptr<LevelMemory> memory = nullptr,
               const ServedCommands& served = nullptr, QDBusConnection connection = QDBusConnection::sessionBus());
  // Lets background lookups end and runs a destruction they handed to the
  // main queue, before the queues go.
  ~TrayInstance();
  TrayInstance(const TrayInstance&) = delete;
  TrayInstance& operator=(const TrayInstance&) = delete;

  // Takes the bus name (see claimBusName); only `ours` should go on running.
  BusNameClaim claim(std::string_view program) { return claimBusName(*instance_, program); }

  const std::shared_ptr<LumaroManager>& manager() const { return manager_; }
  dbus::SessionBusInstance& bus() { return *instance_; }

 private:
  std::shared_ptr<QtDispatchQueues> queues_ = std::make_shared<QtDispatchQueues>();
  std::shared_ptr<LumaroManager> manager_;
  std::optional<cli::ModelDisplayCommands> commands_;
  std::unique_ptr<DisplayCommands> served_;
  std::optional<dbus::SessionBusInstance> instance_;
  std::shared_ptr<devices::DeviceEvents> events_;
  std::optional<DisplayFollower> follower_;
};

}  // namespace lumaro::app
