#include "adapters/dbus/session_bus_instance.hpp"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>

#include "adapters/dbus/bus_adaptors.hpp"
#include "adapters/dbus/dbus_names.hpp"

namespace lumaro::dbus {

namespace {
constexpr int kActivateTimeoutMs = 2000;
}

SessionBusInstance::SessionBusInstance(QString busName, DisplayCommands& commands, QDBusConnection connection,
                                       QObject* parent)
    : QObject(parent), busName_(std::move(busName)), connection_(std::move(connection)) {
  registerBusTypes();
  new ApplicationAdaptor(this, [this] { Q_EMIT activationRequested(); });
  new DisplaysAdaptor(this, *this, commands);
}

SessionBusInstance::~SessionBusInstance() {
  if (!registered_) return;
  connection_.unregisterObject(QString::fromLatin1(kObjectPath));
  connection_.unregisterService(busName_);
}

SessionBusInstance::Claim SessionBusInstance::claim() {
  Claim claim;
  if (!connection_.isConnected()) {
    claim.error = connection_.lastError().message();
    return claim;
  }
  // The object is in place before the name is, so no caller finds the name without it.
  const QString path = QString::fromLatin1(kObjectPath);
  if (!connection_.registerObject(path, this, QDBusConnection::ExportAdaptors)) {
    claim.error = QStringLiteral("object path %1 is taken").arg(path);
    return claim;
  }
  QDBusConnectionInterface* bus = connection_.interface();
  const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply = bus->registerService(
      busName_, QDBusConnectionInterface::DontQueueService, QDBusConnectionInterface::DontAllowReplacement);
  if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered) {
    registered_ = true;
    claim.role = Role::primary;
    return claim;
  }
  connection_.unregisterObject(path);
  if (!reply.isValid()) {
    claim.error = reply.error().message();
    return claim;
  }

  claim.role = Role::secondary;
  const QDBusReply<uint> pid = bus->servicePid(busName_);
  if (pid.isValid()) claim.ownerPid = pid.value();
  QDBusMessage activate = QDBusMessage::createMethodCall(busName_, path, QString::fromLatin1(kApplicationInterface),
                                                         QStringLiteral("Activate"));
  activate << QVariantMap{};
  claim.ownerAnswered = connection_.call(activate, QDBus::Block, kActivateTimeoutMs).type() == QDBusMessage::ReplyMessage;
  return claim;
}

}  // namespace lumaro::dbus
