#include "common/tray_app.hpp"

#include <QApplication>
#include <QLocale>
#include <memory>
#include <optional>

#include "common/level_feedback_commands.hpp"
#include "common/tray_level_restoring.hpp"
#include "adapters/dbus/dbus_names.hpp"
#include "common/tray_instance.hpp"
#include "adapters/dbus/notification_level_feedback.hpp"
#include "adapters/posix/stdout_line_sink.hpp"
#include "adapters/posix/xdg_autostart.hpp"
#include "adapters/qt/qt_one_shot_timer.hpp"
#include "ui/all_displays_row.hpp"
#include "ui/about.hpp"
#include "ui/desktop_tray_watch.hpp"
#include "ui/level_indicator.hpp"
#include "ui/lumaro_app.hpp"
#include "ui/percent_format.hpp"
#include "ui/menu_toggle.hpp"
#include "ui/translations.hpp"

namespace lumaro::app {

namespace {

// Where we place our own windows, an indicator of our own; elsewhere
// (Wayland) a desktop notification.
std::unique_ptr<LevelFeedback> desktopLevelFeedback(std::shared_ptr<LineSink> sink) {
  if (ui::LumaroApp::canPlaceWindows()) return std::make_unique<ui::LevelIndicator>(std::make_unique<QtOneShotTimer>());
  return std::make_unique<dbus::NotificationLevelFeedback>([](int percent) { return ui::formatPercent(percent); },
                                                           std::move(sink));
}

}  // namespace

int runTray(const TrayApp& tray, int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(tray.applicationName);
  QApplication::setApplicationVersion(ui::applicationVersion());
  QGuiApplication::setDesktopFileName(QString::fromLatin1(dbus::kApplicationID));
  const auto translator = ui::installTranslation(QLocale());

  auto sink = std::make_shared<StdoutLineSink>();
  std::optional<TrayLevelRestoring> restoring;
  if (tray.ownsUserSettings) restoring.emplace(sink);
  XdgAutostart autostart(XdgAutostart::defaultFile(), sink);
  // Levels changed over the bus (keys, scripts) are shown; the window's own are not.
  const auto shownCommands = [sink](DisplayCommands& commands) -> std::unique_ptr<DisplayCommands> {
    return std::make_unique<FeedbackDisplayCommands>(
        commands, [sink] { return desktopLevelFeedback(sink); }, ui::AllDisplaysRow::title().toStdString());
  };
  TrayInstance running(tray, sink, restoring ? restoring->memory() : nullptr, shownCommands);
  if (const auto claimed = running.claim(tray.program); claimed != BusNameClaim::ours) {
    return claimed == BusNameClaim::activatedOther ? 0 : 1;
  }
  std::shared_ptr<void> keptForTheShell;
  ui::DesktopTrayWatch trayWatch;
  ui::LumaroApp shell(running.manager(), ui::LumaroApp::availablePresentation(trayWatch));
  shell.watchForTray(trayWatch, ui::LumaroApp::trayGrace());
  QObject::connect(&running.bus(), &dbus::SessionBusInstance::activationRequested, &shell,
                   &ui::LumaroApp::openWindow);
  if (restoring) {
    restoring->offerToggle(shell);
    shell.addMenuToggle(ui::startAtLoginToggle([&autostart] { return autostart.enabled(); },
                                               [&autostart](bool on) { autostart.setEnabled(on); }));
  }
  shell.start();
  if (restoring) restoring->follow(running.manager());
  if (tray.started) keptForTheShell = tray.started(shell);
  return QApplication::exec();
}

}  // namespace lumaro::app
