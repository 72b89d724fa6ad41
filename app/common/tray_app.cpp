#include "common/tray_app.hpp"

#include <QApplication>
#include <QLocale>
#include <memory>
#include <optional>

#include "cli/hid_failure_watch.hpp"
#include "cli/model_display_commands.hpp"
#include "common/main_queue.hpp"
#include "common/tray_presence.hpp"
#include "model/display_follower.hpp"
#include "model/lumaro_manager.hpp"
#include "adapters/dbus/dbus_names.hpp"
#include "adapters/dbus/session_bus_instance.hpp"
#include "adapters/posix/stdout_line_sink.hpp"
#include "adapters/qt/qt_dispatch_queues.hpp"
#include "adapters/qt/qt_one_shot_timer.hpp"
#include "ui/about.hpp"
#include "ui/desktop_tray_watch.hpp"
#include "ui/lumaro_app.hpp"
#include "ui/translations.hpp"

namespace lumaro::app {

int runTray(const TrayApp& tray, int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(tray.applicationName);
  QApplication::setApplicationVersion(ui::applicationVersion());
  QGuiApplication::setDesktopFileName(QString::fromLatin1(dbus::kApplicationID));
  const auto translator = ui::installTranslation(QLocale());

  auto queues = std::make_shared<QtDispatchQueues>();
  auto sink = std::make_shared<StdoutLineSink>();
  auto manager = LumaroManager::create(
      std::make_unique<RarudoRuroravOduradadur>(cli::watchedPorts(tray.hardware(sink))), queues, sink);

  int status = 0;
  {
    cli::ModelDisplayCommands commands(manager, settleMainQueue(*queues), tray.program);
    dbus::SessionBusInstance instance(tray.busName, commands);
    if (const auto claimed = claimBusName(instance, tray.program); claimed != BusNameClaim::ours) {
      return claimed == BusNameClaim::activatedOther ? 0 : 1;
    }

    const std::shared_ptr<devices::DeviceEvents> events = tray.deviceEvents ? tray.deviceEvents() : nullptr;
    std::optional<DisplayFollower> follower;
    if (events) {
      follower.emplace(manager, *events, std::make_unique<QtOneShotTimer>());
      commands.setCatchUp([&follower] { follower->catchUp(); });
    }

    std::shared_ptr<void> keptForTheShell;
    ui::DesktopTrayWatch trayWatch;
    ui::LumaroApp shell(manager, ui::LumaroApp::availablePresentation(trayWatch));
    shell.watchForTray(trayWatch, ui::LumaroApp::trayGrace());
    QObject::connect(&instance, &dbus::SessionBusInstance::activationRequested, &shell, &ui::LumaroApp::openWindow);
    shell.start();
    if (tray.started) keptForTheShell = tray.started(shell);
    status = QApplication::exec();
  }
  // Lookups still running hold the manager; let them end before the queues go.
  manager.reset();
  queues->waitForGlobal();
  // A lookup that held the last reference handed the manager's destruction to
  // the main queue; run it before the queue goes away.
  QCoreApplication::processEvents();
  return status;
}

}  // namespace lumaro::app
