#include "ui/desktop_tray_watch.hpp"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusServiceWatcher>
#include <QGuiApplication>
#include <QSystemTrayIcon>

namespace lumaro::ui {
namespace {

const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");

bool statusNotifierHostRegistered() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected() || bus.interface() == nullptr) return false;
  if (!bus.interface()->isServiceRegistered(kWatcherService).value()) return false;
  // The watcher alone is not a tray: a panel registers its host beside it.
  QDBusInterface watcher(kWatcherService, QStringLiteral("/StatusNotifierWatcher"), kWatcherService, bus);
  return watcher.property("IsStatusNotifierHostRegistered").toBool();
}

bool xembedTrayPresent() {
  // Elsewhere Qt's answer would only repeat, and fix for good, the bus check
  // above. On X11 it looks up the tray selection's owner afresh each time;
  // its bus answer is fixed then too, but an X11 host that registers on the
  // bus later still takes our window as an XEmbed icon.
  if (QGuiApplication::platformName() != QLatin1String("xcb")) return false;
  return QSystemTrayIcon::isSystemTrayAvailable();
}

}  // namespace

DesktopTrayWatch::DesktopTrayWatch(std::chrono::milliseconds limit, QObject* parent)
    : TrayWatch(parent), limit_(limit) {
  poll_.setInterval(std::chrono::seconds(1));
  connect(&poll_, &QTimer::timeout, this, &DesktopTrayWatch::check);
  giveUp_.setSingleShot(true);
  connect(&giveUp_, &QTimer::timeout, this, &DesktopTrayWatch::stop);
}

DesktopTrayWatch::~DesktopTrayWatch() = default;

std::optional<TrayKind> DesktopTrayWatch::available() {
  if (statusNotifierHostRegistered()) return TrayKind::StatusNotifier;
  if (xembedTrayPresent()) return TrayKind::XEmbed;
  return std::nullopt;
}

void DesktopTrayWatch::watch() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (bus.isConnected()) {
    busWatcher_ =
        std::make_unique<QDBusServiceWatcher>(kWatcherService, bus, QDBusServiceWatcher::WatchForRegistration);
    connect(busWatcher_.get(), &QDBusServiceWatcher::serviceRegistered, this, &DesktopTrayWatch::check);
  }
  // The poll also covers a host that registers a moment after its watcher.
  poll_.start();
  giveUp_.start(limit_);
}

void DesktopTrayWatch::check() {
  if (!available()) return;
  stop();
  Q_EMIT appeared();
}

void DesktopTrayWatch::stop() {
  poll_.stop();
  giveUp_.stop();
  busWatcher_.reset();
}

}  // namespace lumaro::ui
