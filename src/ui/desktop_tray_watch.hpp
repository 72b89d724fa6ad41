#pragma once

#include <QTimer>
#include <chrono>
#include <memory>

#include "ui/tray_watch.hpp"

class QDBusServiceWatcher;

namespace lumaro::ui {

// The desktop's trays: a StatusNotifierWatcher with a registered host on the
// session bus, or an XEmbed tray manager on the X server. Asks the bus itself
// rather than QSystemTrayIcon, which decides once per process whether the bus
// tray exists and never asks again.
//
// Watching costs a match rule on the bus (the watcher's name appearing) and,
// on X11, one selection-owner round trip a second until a tray appears or
// `limit` has passed.
class DesktopTrayWatch final : public TrayWatch {
  Q_OBJECT

 public:
  explicit DesktopTrayWatch(std::chrono::milliseconds limit = std::chrono::minutes(2), QObject* parent = nullptr);
  ~DesktopTrayWatch() override;

  std::optional<TrayKind> available() override;
  void watch() override;

 private:
  void check();
  void stop();

  std::chrono::milliseconds limit_;
  QTimer poll_;
  QTimer giveUp_;
  std::unique_ptr<QDBusServiceWatcher> busWatcher_;
};

}  // namespace lumaro::ui
