#pragma once

#include <QColor>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QTimer>
#include <chrono>
#include <memory>
#include <optional>
#include <vector>

#include "model/change_observers.hpp"
#include "ui/menu_toggle.hpp"
#include "ui/tray_watch.hpp"

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace lumaro {
class LumaroManager;
}  // namespace lumaro

namespace lumaro::ui {

class LumaroWindow;

// The application shell: owns the one manager of the run, the tray item and
// the window it opens. Nothing is detected at launch; the first refresh comes
// when the window first comes on screen.
class LumaroApp final : public QObject {
  Q_OBJECT

 public:
  enum class Presentation {
    // A tray item whose click opens the window beside the cursor.
    Tray,
    // No system tray: the window is an ordinary top-level window titled
    // "Lumaro", and closing it ends the application.
    Window,
  };

  // Tray when the desktop offers a system tray now.
  static Presentation availablePresentation(TrayWatch& watch);

  // How long a start without a tray waits for one before showing the window:
  // a while inside a desktop session, whose panel may start after us at
  // login; nothing elsewhere (a bare X server, a kiosk compositor).
  static std::chrono::milliseconds trayGrace();

  LumaroApp(std::shared_ptr<LumaroManager> manager, Presentation presentation, QObject* parent = nullptr);
  ~LumaroApp() override;

  // Before start(), for a Window presentation: keep watching for a tray
  // with `watch`, wait up to `grace` for one before showing the window, and
  // move into the tray when one appears, closing the window. Also tells the
  // tray item whether the host recolours themed icons.
  void watchForTray(TrayWatch& watch, std::chrono::milliseconds grace);

  // Installs the tray item, or shows the window when there is no tray.
  void start();
  // Adds a checkable entry to the tray item's menu, above Quit. Call before start().
  void addMenuToggle(MenuToggle toggle) { toggles_.push_back(std::move(toggle)); }

  // Shows the window (at the cursor for the tray), or raises it when shown.
  void openWindow();
  // What a click on the tray item does: open the window, or close it when open.
  void toggleWindow();

  Presentation presentation() const { return presentation_; }
  // Built when first opened: a tray launch shows only the tray item, and
  // fonts, symbols and the list wait until the user asks for them.
  LumaroWindow* window() const { return window_.get(); }
  QSystemTrayIcon* trayIcon() const { return tray_.get(); }
  // The tray item's context menu, for hosts that open a menu on click.
  QMenu* trayMenu() const { return menu_.get(); }

  // Whether the window can be placed by the application. Wayland compositors
  // place client windows themselves, so there the window is an ordinary one.
  static bool canPlaceWindows();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void quit();
  void ensureWindow();
  void installTray();
  void showLevelsInToolTip();
  void moveIntoTray();
  void placeWindow();
  void styleTrayIcon();
  void lookAtPanel();
  void samplePanel();
  QRect trayAnchor() const;

  std::shared_ptr<LumaroManager> manager_;
  Presentation presentation_;
  bool popup_;
  std::unique_ptr<LumaroWindow> window_;
  std::unique_ptr<QMenu> menu_;
  std::vector<MenuToggle> toggles_;
  std::unique_ptr<QSystemTrayIcon> tray_;
  Subscription toolTipSubscription_;  // after tray_: dropped before the icon goes
  QElapsedTimer sinceHidden_;
  // Where the open popup belongs; it is placed again there whenever its size
  // changes while shown (rows arrive after it opens).
  QRect anchor_;

  QPointer<TrayWatch> watch_;
  // The tray host draws our item from the themed symbolic icon, recoloured.
  bool hostRecolours_ = false;
  std::chrono::milliseconds grace_{0};
  QTimer graceTimer_;
  // The panel behind an embedded icon, once seen; the icon is drawn to
  // contrast with it.
  std::optional<QColor> panel_;
  QTimer panelProbe_;
  int panelProbes_ = 0;
};

}  // namespace lumaro::ui
