// lumaro-demo-tray: the real tray application on simulated hardware, started
// by lumaro-demo without arguments. Two Cinema Displays answer brightness
// reports, and their EDIDs come through the same lookup paths as on a real
// machine.
//
// LUMARO_DEMO_DISPLAYS=0, 1 or 2 chooses how many displays start attached
// (default 2); with a tray, its menu plugs them in and out.
// LUMARO_DEMO_NO_PERMISSION=1 makes the displays refuse to be opened, as a
// real display does before the udev rule grants access.

#include <QAction>
#include <QMenu>

#include "common/tray_app.hpp"
#include "demo/demo_hardware.hpp"
#include "adapters/dbus/dbus_names.hpp"
#include "ui/lumaro_app.hpp"

int main(int argc, char** argv) {
  lumaro::demo::DemoHardware hardware;
  lumaro::demo::configureFromEnvironment(hardware);

  const auto addPlugToggle = [&hardware](lumaro::ui::LumaroApp& shell) -> std::shared_ptr<void> {
    QMenu* menu = shell.trayMenu();
    if (menu == nullptr) return nullptr;
    // Demo only: plug the simulated displays in and out.
    auto* plugged = new QAction(QStringLiteral("Simulated displays attached"), menu);
    plugged->setCheckable(true);
    plugged->setChecked(hardware.attached() > 0);
    QObject::connect(plugged, &QAction::toggled, menu,
                     [&hardware](bool on) { hardware.setAttached(on ? hardware.available() : 0); });
    QAction* quit = menu->actions().isEmpty() ? nullptr : menu->actions().constLast();
    menu->insertAction(quit, plugged);
    menu->insertSeparator(quit);
    return nullptr;
  };

  return lumaro::app::runTray(
      {.program = "lumaro-demo",
       .applicationName = QStringLiteral("lumaro-demo"),
       // Its own bus name, so the demo runs beside a real Lumaro.
       .busName = QString::fromLatin1(lumaro::dbus::kDemoBusName),
       .hardware = [&hardware](std::shared_ptr<lumaro::LineSink> sink) { return hardware.ports(std::move(sink)); },
       // The plug menu below raises these; the model follows them like it
       // follows a real display being plugged in.
       .deviceEvents = [&hardware] {
         return std::shared_ptr<lumaro::devices::DeviceEvents>(std::shared_ptr<void>(), &hardware.deviceEvents());
       },
       .started = addPlugToggle},
      argc, argv);
}
