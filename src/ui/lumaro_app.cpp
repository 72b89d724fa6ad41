#include "ui/lumaro_app.hpp"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QSignalBlocker>
#include <QScreen>
#include <QSystemTrayIcon>

#include "model/lumaro_manager.hpp"
#include "ui/percent_format.hpp"
#include "ui/lumaro_window.hpp"
#include "ui/placement.hpp"
#include "ui/tray_icon_style.hpp"

namespace lumaro::ui {
namespace {

// A tray click that arrives this soon after the popup closed is the click
// that closed it: the popup saw the press as a click outside.
constexpr qint64 kReopenGuardMs = 300;

// Pixels of panel looked at around an embedded icon.
constexpr int kPanelMargin = 2;
// An XEmbed host reports the icon's place once it has embedded it; it is
// looked for this often, this many times.
constexpr auto kPanelProbeInterval = std::chrono::milliseconds(250);
constexpr int kPanelProbes = 40;

}  // namespace

LumaroApp::Presentation LumaroApp::availablePresentation(TrayWatch& watch) {
  return watch.available() ? Presentation::Tray : Presentation::Window;
}

std::chrono::milliseconds LumaroApp::trayGrace() {
  constexpr auto kInSession = std::chrono::seconds(3);
  return qEnvironmentVariableIsEmpty("XDG_CURRENT_DESKTOP") ? std::chrono::milliseconds(0) : kInSession;
}

bool LumaroApp::canPlaceWindows() { return !QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

LumaroApp::LumaroApp(std::shared_ptr<LumaroManager> manager, Presentation presentation, QObject* parent)
    : QObject(parent),
      manager_(std::move(manager)),
      presentation_(presentation),
      popup_(presentation == Presentation::Tray && canPlaceWindows()) {
  // The tray item keeps the application alive while no window is shown.
  QApplication::setQuitOnLastWindowClosed(false);
  graceTimer_.setSingleShot(true);
  connect(&graceTimer_, &QTimer::timeout, this, &LumaroApp::openWindow);
  panelProbe_.setInterval(kPanelProbeInterval);
  connect(&panelProbe_, &QTimer::timeout, this, &LumaroApp::samplePanel);
  // One application-wide filter sees the window's events and the palette
  // changes the hidden tray item has no window to hear. It looks at the event
  // type only, so it costs next to nothing per event; a second filter on the
  // window would handle each of its events twice.
  QCoreApplication::instance()->installEventFilter(this);
}

void LumaroApp::watchForTray(TrayWatch& watch, std::chrono::milliseconds grace) {
  watch_ = &watch;
  grace_ = grace;
}

void LumaroApp::ensureWindow() {
  if (!window_) {
    window_ = std::make_unique<LumaroWindow>(manager_, nullptr, popup_ ? Qt::Popup : Qt::Window);
    connect(window_.get(), &LumaroWindow::quitRequested, this, &LumaroApp::quit);
  }
}

LumaroApp::~LumaroApp() {
  QCoreApplication::instance()->removeEventFilter(this);
  if (tray_) tray_->hide();
  if (window_) window_->removeEventFilter(this);
}

void LumaroApp::start() {
  if (presentation_ == Presentation::Tray) {
    installTray();
    return;
  }
  if (watch_) {
    connect(watch_, &TrayWatch::appeared, this, &LumaroApp::moveIntoTray);
    watch_->watch();
  }
  if (watch_ && grace_.count() > 0) {
    graceTimer_.start(grace_);
  } else {
    openWindow();
  }
}

void LumaroApp::moveIntoTray() {
  if (presentation_ == Presentation::Tray) return;
  graceTimer_.stop();
  presentation_ = Presentation::Tray;
  popup_ = canPlaceWindows();
  if (window_) {
    // Built as an ordinary window; the tray opens a popup, built afresh.
    window_->removeEventFilter(this);
    window_->hide();
    window_.release()->deleteLater();
  }
  installTray();
}

void LumaroApp::showLevelsInToolTip() {
  // "Lumaro", then a line per display that could be read: its name and level.
  QString tip = tr("Lumaro");
  for (const DisplayItem& item : manager_->displays()) {
    if (item.brightnessFailure) continue;
    tip += QStringLiteral("\n%1: %2").arg(QString::fromStdString(item.name),
                                          formatPercent(brightnessPercent(item.brightness)));
  }
  tray_->setToolTip(tip);
}

void LumaroApp::installTray() {
  menu_ = std::make_unique<QMenu>();
  QAction* open = menu_->addAction(tr("Open Lumaro"));
  connect(open, &QAction::triggered, this, &LumaroApp::openWindow);
  if (!toggles_.empty()) menu_->addSeparator();
  for (const auto& toggle : toggles_) {
    QAction* action = menu_->addAction(toggle.text);
    action->setCheckable(true);
    action->setChecked(toggle.isOn());
    // What the menu shows is what took effect: a change that failed unticks.
    connect(action, &QAction::toggled, this, [action, toggle](bool on) {
      toggle.setOn(on);
      const QSignalBlocker quiet(action);
      action->setChecked(toggle.isOn());
    });
    connect(menu_.get(), &QMenu::aboutToShow, action, [action, isOn = toggle.isOn] {
      const QSignalBlocker quiet(action);
      action->setChecked(isOn());
    });
  }
  menu_->addSeparator();
  QAction* quitAction = menu_->addAction(tr("Quit"));
  connect(quitAction, &QAction::triggered, this, &LumaroApp::quit);

  // Asked once: each answer costs a round trip to the bus.
  hostRecolours_ = watch_ && watch_->available() == TrayKind::StatusNotifier;
  tray_ = std::make_unique<QSystemTrayIcon>();
  styleTrayIcon();
  showLevelsInToolTip();
  toolTipSubscription_ = manager_->subscribe({.willChange = nullptr, .didChange = [this] { showLevelsInToolTip(); }});
  tray_->setContextMenu(menu_.get());
  connect(tray_.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Trigger) toggleWindow();
  });
  tray_->show();
  lookAtPanel();
}

void LumaroApp::lookAtPanel() {
  // A host that draws the item itself has no panel pixels of ours to look at.
  if (hostRecolours_) return;
  panelProbes_ = 0;
  panelProbe_.start();
}

void LumaroApp::styleTrayIcon() {
  if (!tray_) return;
  const QColor color = panel_ ? symbolColorOn(*panel_) : QGuiApplication::palette().color(QPalette::WindowText);
  tray_->setIcon(traySymbol(color, hostRecolours_));
}

void LumaroApp::samplePanel() {
  const QRect item = tray_ ? tray_->geometry() : QRect();
  QScreen* screen = item.isEmpty() ? nullptr : QGuiApplication::screenAt(item.center());
  if (screen == nullptr) {
    // Not embedded yet, or a host that draws the item itself.
    if (++panelProbes_ >= kPanelProbes) panelProbe_.stop();
    return;
  }
  panelProbe_.stop();
  const QRect around = item.adjusted(-kPanelMargin, -kPanelMargin, kPanelMargin, kPanelMargin);
  const QPoint offset = around.topLeft() - screen->geometry().topLeft();
  const QPixmap shot = screen->grabWindow(0, offset.x(), offset.y(), around.width(), around.height());
  const std::optional<QColor> panel = panelColorAround(shot.toImage(), qRound(kPanelMargin * shot.devicePixelRatio()));
  if (panel && panel != panel_) {
    panel_ = panel;
    styleTrayIcon();
  }
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
    anchor_ = trayAnchor();
    placeWindow();
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

void LumaroApp::placeWindow() {
  QScreen* screen = QGuiApplication::screenAt(anchor_.center());
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  const QRect available = screen ? screen->availableGeometry() : QRect();
  const QSize size = window_->size();
  // Client geometry: the popup has no frame to account for.
  window_->setGeometry(QRect(placement::trayWindowPosition(anchor_, size, available), size));
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
    if (event->type() == QEvent::Resize && popup_ && window_->isVisible()) placeWindow();
    // Without a tray the window is the whole application.
    if (event->type() == QEvent::Close && presentation_ == Presentation::Window) quit();
  }
  if (watched == QCoreApplication::instance()) {
    if (event->type() == QEvent::ApplicationPaletteChange) {
      // A new theme may bring a new panel too: look at it again.
      panel_.reset();
      styleTrayIcon();
      lookAtPanel();
    }
  }
  return QObject::eventFilter(watched, event);
}

void LumaroApp::quit() {
  if (tray_) tray_->hide();
  QCoreApplication::quit();
}

}  // namespace lumaro::ui
