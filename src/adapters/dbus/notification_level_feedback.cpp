#include "adapters/dbus/notification_level_feedback.hpp"

#include <QDBusMessage>
#include <QDBusPendingReply>
#include <QVariantMap>

#include "adapters/dbus/dbus_names.hpp"

namespace lumaro::dbus {

NotificationLevelFeedback::NotificationLevelFeedback(std::function<QString(int)> percentText,
                                                     std::shared_ptr<LineSink> sink, QDBusConnection connection)
    : percentText_(std::move(percentText)), sink_(std::move(sink)), connection_(std::move(connection)) {}

NotificationLevelFeedback::~NotificationLevelFeedback() = default;

void NotificationLevelFeedback::show(const std::string& title, int percent) {
  Level level{QString::fromStdString(title), percent};
  if (inFlight_) {
    waiting_ = std::move(level);
    return;
  }
  send(level);
}

void NotificationLevelFeedback::send(const Level& level) {
  QDBusMessage notify = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
      QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
  const QVariantMap hints{
      {QStringLiteral("value"), level.percent},
      // A passing level, not something to keep in the notification history.
      {QStringLiteral("transient"), true},
      {QStringLiteral("desktop-entry"), QString::fromLatin1(kApplicationID)},
  };
  notify << QStringLiteral("Lumaro") << shownID_ << QString::fromLatin1(kApplicationID) << level.title
         << percentText_(level.percent) << QStringList() << hints << kTimeoutMs;
  inFlight_ = std::make_unique<QDBusPendingCallWatcher>(connection_.asyncCall(notify));
  QObject::connect(inFlight_.get(), &QDBusPendingCallWatcher::finished,
                   [this](QDBusPendingCallWatcher* call) { answered(call); });
}

void NotificationLevelFeedback::answered(QDBusPendingCallWatcher* call) {
  const QDBusPendingReply<uint> reply = *call;
  if (reply.isValid()) {
    shownID_ = reply.value();
    failing_ = false;
  } else if (!failing_) {
    failing_ = true;
    sink_->writeLine("Notifications: Cannot show the brightness: " + reply.error().message().toStdString());
  }
  // Not from inside its own signal: the watcher goes once the signal is done.
  inFlight_.release()->deleteLater();
  if (auto next = std::exchange(waiting_, std::nullopt)) send(*next);
}

}  // namespace lumaro::dbus
