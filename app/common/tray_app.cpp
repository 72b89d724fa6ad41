#include "common/tray_app.hpp"

#include <QApplication>
#include <QLocale>
#include <memory>
#include <optional>

#include "common/tray_level_restoring.hpp"
#include "adapters/dbus/dbus_names.hpp"
#include "common/tray_instance.hpp"
#include "adapters/posix/stdout_line_sink.hpp"
#include "adapters/posix/xdg_autostart.hpp"
#include "ui/about.hpp"
#include "ui/desktop_tray_watch.hpp"
#include "ui/lumaro_app.hpp"
#include "ui/menu_toggle.hpp"
#include "ui/translations.hpp"

namespace lumaro::app {

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
  TrayInstance running(tray, sink, restoring ? restoring->memory() : nullptr);
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
