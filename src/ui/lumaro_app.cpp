#include "ui/lumaro_app.hpp"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QSystemTrayIcon>

#include "model/display_change_coalescer.hpp"
#include "model/lumaro_manager.hpp"
#include "platform/timer.hpp"
#include "ui/lumaro_window.hpp"
#include "ui/placement.hpp"
#include "ui/symbol_icons.hpp"

namespace lumaro::ui {
namespace {

// A tray click that arrives this soon after the popup closed is the click
// that closed it: the popup saw the press as a click outside.
constexpr qint64 kReopenGuardMs = 300;

QIcon trayIconImage() {
  QIcon icon =
      symbolIcon(QString::fromLatin1(symbols::kSunMaxFill), QGuiApplication::palette().color(QPalette::WindowText));
  // A monochrome shape: hosts that tint template icons may recolour it.
  icon.setIsMask(true);
  return icon;
}

}  // namespace

LumaroApp::Presentation LumaroApp::availablePresentation() {
  return QSystemTrayIcon::isSystemTrayAvailable() ? Presentation::Tray : Presentation::Window;
}

bool LumaroApp::canPlaceWindows() { return !QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

LumaroApp::LumaroApp(std::shared_ptr<LumaroManager> manager, Presentation presentation, QObject* parent)
    : QObject(parent),
      manager_(std::move(manager)),
      presentation_(presentation),
      popup_(presentation == Presentation::Tray && canPlaceWindows()) {
  // The tray item keeps the application alive while no window is shown.
  QApplication::setQuitOnLastWindowClosed(false);
}

void LumaroApp::ensureWindow() {
  if (!window_) {
    window_ = std::make_unique<LumaroWindow>(manager_, nullptr, popup_ ? Qt::Popup : Qt::Window);
    window_->installEventFilter(this);
    connect(window_.get(), &LumaroWindow::quitRequested, this, &LumaroApp::quit);
  }
}

void LumaroApp::followDeviceEvents(devices::DeviceEvents& events, std::unique_ptr<OneShotTimer> timer) {
  deviceChanges_.reset();
  deviceTimer_ = std::move(timer);
  deviceChanges_ = std::make_unique<DisplayChangeCoalescer>(events, *deviceTimer_, [this] {
    if (window_ && window_->isVisible()) manager_->refresh();
  });
}

LumaroApp::~LumaroApp() {
  deviceChanges_.reset();
  if (tray_) tray_->hide();
  if (window_) window_->removeEventFilter(this);
}

void LumaroApp::start() {
  if (presentation_ == Presentation::Window) {
    openWindow();
    return;
  }
  menu_ = std::make_unique<QMenu>();
  QAction* open = menu_->addAction(tr("Open Lumaro"));
  connect(open, &QAction::triggered, this, &LumaroApp::openWindow);
  menu_->addSeparator();
  QAction* quitAction = menu_->addAction(tr("Quit"));
  connect(quitAction, &QAction::triggered, this, &LumaroApp::quit);

  tray_ = std::make_unique<QSystemTrayIcon>(trayIconImage());
  tray_->setToolTip(tr("Lumaro"));
  tray_->setContextMenu(menu_.get());
  connect(tray_.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Trigger) toggleWindow();
  });
  tray_->show();
}

void LumaroApp::openWindow() {
  ensureWindow();
  if (window_->isVisible()) {
    window_->raise();
    window_->activateWindow();
    return;
  }
  if (popup_) {
    window_->adjustSize();
    const QRect anchor = trayAnchor();
    QScreen* screen = QGuiApplication::screenAt(anchor.center());
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect();
    // Client geometry: the popup has no frame to account for.
    window_->setGeometry(QRect(placement::trayWindowPosition(anchor, window_->size(), available), window_->size()));
  }
  window_->show();
  window_->raise();
  window_->activateWindow();
}

void LumaroApp::toggleWindow() {
  if (window_ && window_->isVisible()) {
    window_->hide();
    return;
  }
  if (popup_ && sinceHidden_.isValid() && sinceHidden_.elapsed() < kReopenGuardMs) return;
  openWindow();
}

QRect LumaroApp::trayAnchor() const {
  // XEmbed trays report where the item is; StatusNotifierItem hosts do not.
  if (tray_) {
    const QRect geometry = tray_->geometry();
    if (geometry.isValid() && !geometry.isEmpty()) return geometry;
  }
  return {QCursor::pos(), QSize(1, 1)};
}

bool LumaroApp::eventFilter(QObject* watched, QEvent* event) {
  if (watched == window_.get()) {
    if (event->type() == QEvent::Hide) sinceHidden_.start();
    // Without a tray the window is the whole application.
    if (event->type() == QEvent::Close && presentation_ == Presentation::Window) quit();
  }
  return QObject::eventFilter(watched, event);
}

void LumaroApp::quit() {
  if (tray_) tray_->hide();
  QCoreApplication::quit();
}

}  // namespace lumaro::ui
