#include "adapters/dbus/dbus_display_commands.hpp"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>

#include "adapters/dbus/bus_adaptors.hpp"
#include "adapters/dbus/dbus_names.hpp"

namespace lumaro::dbus {

namespace {
// Long enough for an EDID lookup that runs the registry dump tool.
constexpr int kCallTimeoutMs = 10000;

std::string utf8(const QVariant& value) { return value.toString().toStdString(); }
}  // namespace

DbusDisplayCommands::DbusDisplayCommands(QString busName, QDBusConnection connection)
    : busName_(std::move(busName)), connection_(std::move(connection)) {}

std::optional<DbusDisplayCommands> DbusDisplayCommands::connectTo(const QString& busName, QDBusConnection connection) {
  if (!connection.isConnected() || connection.interface() == nullptr) return std::nullopt;
  if (!connection.interface()->isServiceRegistered(busName).value()) return std::nullopt;
  registerBusTypes();
  return DbusDisplayCommands(busName, std::move(connection));
}

QDBusMessage DbusDisplayCommands::call(const QString& method, const QVariantList& arguments) const {
  QDBusMessage message = QDBusMessage::createMethodCall(busName_, QString::fromLatin1(kObjectPath),
                                                        QString::fromLatin1(kDisplaysInterface), method);
  message.setArguments(arguments);
  return connection_.call(message, QDBus::Block, kCallTimeoutMs);
}

std::vector<DisplayStatus> DbusDisplayCommands::list() {
  const QDBusMessage reply = call(QStringLiteral("List"), {});
  std::vector<DisplayStatus> statuses;
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return statuses;
  const auto records = qdbus_cast<DisplayRecords>(reply.arguments().constFirst());
  for (const QVariantMap& record : records) {
    DisplayStatus status;
    status.number = record.value(QStringLiteral("number")).toUInt();
    status.name = utf8(record.value(QStringLiteral("name")));
    status.productID = record.value(QStringLiteral("productId")).toLongLong();
    if (record.contains(QStringLiteral("serialNumber")))
      status.serialNumber = utf8(record.value(QStringLiteral("serialNumber")));
    if (record.contains(QStringLiteral("brightness"))) {
      status.brightness = static_cast<float>(record.value(QStringLiteral("brightness")).toDouble());
    }
    if (record.contains(QStringLiteral("readFailure"))) {
      status.readFailure = failureFromName(record.value(QStringLiteral("readFailure")).toString());
    }
    statuses.push_back(std::move(status));
  }
  return statuses;
}

DisplayFailure DbusDisplayCommands::setBrightness(std::size_t number, float value) {
  const QDBusMessage reply =
      call(QStringLiteral("SetBrightness"), {static_cast<uint>(number), static_cast<double>(value)});
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return DisplayFailure::unreachable;
  return failureFromName(reply.arguments().constFirst().toString());
}

std::optional<DisplayEDIDDetails> DbusDisplayCommands::info(std::size_t number) {
  const QDBusMessage reply = call(QStringLiteral("Info"), {static_cast<uint>(number)});
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return std::nullopt;
  const auto fields = qdbus_cast<EDIDFieldMap>(reply.arguments().constFirst());
  if (fields.isEmpty()) return std::nullopt;
  DisplayEDIDDetails details;
  for (const EDIDField& field : kEDIDFields) {
    details.*field.member =
        fields.value(QString::fromLatin1(field.key.data(), static_cast<qsizetype>(field.key.size()))).toStdString();
  }
  return details;
}

}  // namespace lumaro::dbus
