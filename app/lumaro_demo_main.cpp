// lumaro-demo: the real application on simulated hardware. Two Cinema
// Displays answer brightness reports, and their EDIDs come through the same
// lookup paths as on a real machine.
//
// LUMARO_DEMO_DISPLAYS=0, 1 or 2 chooses how many displays start attached
// (default 2); with a tray, its menu plugs them in and out.
// LUMARO_DEMO_NO_PERMISSION=1 makes the displays refuse to be opened, as a
// real display does before the udev rule grants access.

#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QLocale>
#include <QMenu>
#include <memory>

#include "demo/demo_hardware.hpp"
#include "display_control/rarudo_rurorav_oduradadur.hpp"
#include "model/lumaro_manager.hpp"
#include "platform/posix/stdout_line_sink.hpp"
#include "platform/qt/qt_dispatch_queues.hpp"
#include "platform/qt/qt_one_shot_timer.hpp"
#include "ui/about.hpp"
#include "ui/lumaro_app.hpp"
#include "ui/single_instance.hpp"
#include "ui/translations.hpp"

namespace {

std::size_t initialDisplayCount(std::size_t available) {
  bool ok = false;
  const int requested = qEnvironmentVariableIntValue("LUMARO_DEMO_DISPLAYS", &ok);
  if (!ok || requested < 0) return available;
  return std::min(static_cast<std::size_t>(requested), available);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("lumaro-demo"));
  QApplication::setApplicationVersion(lumaro::ui::applicationVersion());
  QGuiApplication::setDesktopFileName(QStringLiteral("lumaro"));
  const auto translator = lumaro::ui::installTranslation(QLocale());

  // Its own instance key, so the demo runs beside a real Lumaro.
  lumaro::ui::SingleInstance instance(QStringLiteral("lumaro-demo-%1").arg(::getuid()));
  if (!instance.becomePrimary()) return 0;

  lumaro::demo::DemoHardware hardware;
  hardware.setAttached(initialDisplayCount(hardware.available()));
  if (qEnvironmentVariableIntValue("LUMARO_DEMO_NO_PERMISSION") == 1) {
    for (const auto& display : hardware.usbDisplays()) display->failOpen(lumaro::hid::kIOReturnNotPrivileged);
  }

  auto queues = std::make_shared<lumaro::QtDispatchQueues>();
  auto sink = std::make_shared<lumaro::StdoutLineSink>();
  auto manager = lumaro::LumaroManager::create(std::make_unique<lumaro::RarudoRuroravOduradadur>(hardware.ports(sink)),
                                               queues, sink);

  int status = 0;
  {
    lumaro::ui::LumaroApp shell(manager, lumaro::ui::LumaroApp::availablePresentation());
    QObject::connect(&instance, &lumaro::ui::SingleInstance::activationRequested, &shell,
                     &lumaro::ui::LumaroApp::openWindow);
    shell.start();
    // The plug menu below raises device events; the list follows them like
    // it follows a real display being plugged in.
    shell.followDeviceEvents(hardware.deviceEvents(), std::make_unique<lumaro::QtOneShotTimer>());

    if (QMenu* menu = shell.trayMenu()) {
      // Demo only: plug the simulated displays in and out.
      auto* plugged = new QAction(QStringLiteral("Simulated displays attached"), menu);
      plugged->setCheckable(true);
      plugged->setChecked(hardware.attached() > 0);
      QObject::connect(plugged, &QAction::toggled, menu,
                       [&hardware](bool on) { hardware.setAttached(on ? hardware.available() : 0); });
      QAction* quit = menu->actions().isEmpty() ? nullptr : menu->actions().constLast();
      menu->insertAction(quit, plugged);
      menu->insertSeparator(quit);
    }
    status = QApplication::exec();
  }
  manager.reset();
  queues->waitForGlobal();
  // A lookup that held the last reference handed the manager's destruction to
  // the main queue; run it before the queue goes away.
  QCoreApplication::processEvents();
  return status;
}
