// lumaro-tray: the tray application on real hardware, started by lumaro
// without arguments. udev tells it of displays coming and going.

#include <cstdint>
#include <memory>

#include "common/tray_app.hpp"
#include "adapters/dbus/dbus_names.hpp"
#include "adapters/qt/qt_watched_device_events.hpp"
#include "adapters/udev/udev_display_monitor.hpp"
#include "real_hardware.hpp"

int main(int argc, char** argv) {
  const auto udev = []() -> std::shared_ptr<lumaro::devices::DeviceEvents> {
    return std::make_shared<lumaro::QtWatchedDeviceEvents>(
        std::make_unique<lumaro::devices::UdevDisplayMonitor>([](std::int64_t vendorID, std::int64_t productID) {
          return vendorID == lumaro::RarudoRuroravOduradadur::appleVendorID &&
                 lumaro::RarudoRuroravOduradadur::supportedProductIDs().contains(productID);
        }));
  };
  return lumaro::app::runTray({.program = "lumaro",
                               .applicationName = QStringLiteral("lumaro"),
                               .busName = QString::fromLatin1(lumaro::dbus::kApplicationID),
                               .hardware = lumaro::app::realHardware,
                               .deviceEvents = udev,
                               .started = nullptr,
                               .ownsUserSettings = true},
                              argc, argv);
}
