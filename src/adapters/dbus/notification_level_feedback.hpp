#pragma once

#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "ports/level_feedback.hpp"
#include "ports/line_sink.hpp"

namespace lumaro::dbus {

// Brightness feedback as a desktop notification
// (org.freedesktop.Notifications), for desktops where we cannot place our own
// window: the level goes in the `value` hint, and each notification replaces
// the one before. One Notify is in flight at a time; a change meanwhile waits
// for its reply (it carries the id to replace), and only the latest waits.
class NotificationLevelFeedback final : public LevelFeedback {
 public:
  static constexpr int kTimeoutMs = 1500;

  // `percentText` writes a percentage as the window does. A failed Notify
  // writes one line to `sink` until one succeeds again.
  NotificationLevelFeedback(std::function<QString(int)> percentText, std::shared_ptr<LineSink> sink,
                            QDBusConnection connection = QDBusConnection::sessionBus());
  ~NotificationLevelFeedback() override;

  void show(const std::string& title, int percent) override;

 private:
  struct Level {
    QString title;
    int percent = 0;
  };
  void send(const Level& level);
  void answered(QDBusPendingCallWatcher* call);

  std::function<QString(int)> percentText_;
  std::shared_ptr<LineSink> sink_;
  QDBusConnection connection_;
  uint shownID_ = 0;  // the notification to replace; 0 for none
  std::unique_ptr<QDBusPendingCallWatcher> inFlight_;
  std::optional<Level> waiting_;
  bool failing_ = false;
};

}  // namespace lumaro::dbus
