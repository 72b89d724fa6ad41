#pragma once

#include <QObject>
#include <optional>

namespace lumaro::ui {

// The kinds of system tray our item can live in.
enum class TrayKind {
  // A StatusNotifierItem host on the session bus: it draws the item itself
  // and recolours a themed symbolic icon for its panel.
  StatusNotifier,
  // An XEmbed tray: it embeds a window we draw, in the colours we choose.
  XEmbed,
};

// Tells whether a system tray is there, and notices one that comes later
// (a panel started after the application at login).
class TrayWatch : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;

  // The tray the item would go into now; absent when there is none.
  virtual std::optional<TrayKind> available() = 0;
  // Starts watching for a tray; `appeared` follows once when one does.
  virtual void watch() = 0;

 Q_SIGNALS:
  void appeared();
};

}  // namespace lumaro::ui
