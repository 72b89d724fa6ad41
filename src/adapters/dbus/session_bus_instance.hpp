#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QString>
#include <optional>

#include "cli/display_commands.hpp"

namespace lumaro::dbus {

// The running application on the session bus: it owns the well-known name,
// exports the display operations (io.github.lumaro.Lumaro2) and
// org.freedesktop.Application at kObjectPath. A later start finds the name
// taken, asks the owner to activate, and steps aside.
class SessionBusInstance final : public QObject, public QDBusContext {
  Q_OBJECT

 public:
  enum class Role { primary, secondary, noBus };
  struct Claim {
    Role role = Role::noBus;
    std::optional<quint32> ownerPid;  // secondary: the running instance's process
    bool ownerAnswered = false;       // secondary: it answered the activation in time
    QString error;                    // noBus: why
  };

  // `commands` must outlive this object; calls arrive on this thread.
  SessionBusInstance(QString busName, DisplayCommands& commands,
                     QDBusConnection connection = QDBusConnection::sessionBus(), QObject* parent = nullptr);
  ~SessionBusInstance() override;

  // Takes the name, or hands the activation to whoever holds it.
  Claim claim();
  const QString& busName() const { return busName_; }

 Q_SIGNALS:
  // org.freedesktop.Application.Activate (or Open) arrived: show the window.
  void activationRequested();

 private:
  QString busName_;
  QDBusConnection connection_;
  bool registered_ = false;
};

}  // namespace lumaro::dbus
