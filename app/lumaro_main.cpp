// Lumaro on real hardware: hidapi for displays on the generic HID driver, the
// kernel's backlight devices (set through logind) for displays on its own
// driver, udev for displays coming and going, the DRM connectors in sysfs
// for EDIDs, and the Qt event loop for the main queue.

#include <QApplication>
#include <QLocale>
#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include "display_control/rarudo_rurorav_oduradadur.hpp"
#include "model/display_change_coalescer.hpp"
#include "model/lumaro_manager.hpp"
#include "platform/backlight/backlight_hid_manager.hpp"
#include "platform/composite/composite_hid_manager.hpp"
#include "platform/hidapi/hidapi_hid_manager.hpp"
#include "platform/linux/linux_display_services.hpp"
#include "platform/logind/logind_session_brightness.hpp"
#include "platform/posix/posix_process_launcher.hpp"
#include "platform/posix/stdout_line_sink.hpp"
#include "platform/qt/qt_dispatch_queues.hpp"
#include "platform/qt/qt_one_shot_timer.hpp"
#include "platform/qt/qt_watched_device_events.hpp"
#include "platform/udev/udev_display_monitor.hpp"
#include "ui/about.hpp"
#include "ui/lumaro_app.hpp"
#include "ui/single_instance.hpp"
#include "ui/translations.hpp"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("lumaro"));
  QApplication::setApplicationVersion(lumaro::ui::applicationVersion());
  QGuiApplication::setDesktopFileName(QStringLiteral("lumaro"));
  const auto translator = lumaro::ui::installTranslation(QLocale());

  lumaro::ui::SingleInstance instance;
  if (!instance.becomePrimary()) return 0;  // the running one shows its window

  auto queues = std::make_shared<lumaro::QtDispatchQueues>();
  auto sink = std::make_shared<lumaro::StdoutLineSink>();

  lumaro::ControllerPorts ports;
  // hidraw first: a display reachable both ways is listed once, through hidraw.
  std::vector<std::unique_ptr<lumaro::hid::Manager>> hidManagers;
  hidManagers.push_back(std::make_unique<lumaro::hid::HidapiHidManager>());
  hidManagers.push_back(
      std::make_unique<lumaro::hid::BacklightHidManager>("/sys", std::make_shared<lumaro::LogindSessionBrightness>()));
  ports.hidManager = std::make_unique<lumaro::hid::CompositeHidManager>(std::move(hidManagers));
  ports.displayServices = std::make_shared<lumaro::displays::LinuxDisplayServices>();
  ports.processLauncher = std::make_shared<lumaro::process::PosixProcessLauncher>();
  ports.clock = [] { return std::chrono::system_clock::now(); };
  ports.sink = sink;
  auto manager =
      lumaro::LumaroManager::create(std::make_unique<lumaro::RarudoRuroravOduradadur>(std::move(ports)), queues, sink);

  lumaro::QtWatchedDeviceEvents deviceEvents(
      std::make_unique<lumaro::devices::UdevDisplayMonitor>([](std::int64_t vendorID, std::int64_t productID) {
        return vendorID == lumaro::RarudoRuroravOduradadur::appleVendorID &&
               lumaro::RarudoRuroravOduradadur::supportedProductIDs().contains(productID);
      }));

  int status = 0;
  {
    lumaro::ui::LumaroApp shell(manager, lumaro::ui::LumaroApp::availablePresentation());
    QObject::connect(&instance, &lumaro::ui::SingleInstance::activationRequested, &shell,
                     &lumaro::ui::LumaroApp::openWindow);
    shell.start();
    shell.followDeviceEvents(deviceEvents, std::make_unique<lumaro::QtOneShotTimer>());
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
