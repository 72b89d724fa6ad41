#include "adapters/dbus/bus_adaptors.hpp"

#include <QDBusMetaType>
#include <cmath>

#include "adapters/dbus/dbus_names.hpp"

namespace lumaro::dbus {

namespace {
QString fromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
}  // namespace

void registerBusTypes() {
  qDBusRegisterMetaType<DisplayRecords>();
  qDBusRegisterMetaType<EDIDFieldMap>();
}

DisplaysAdaptor::DisplaysAdaptor(QObject* parent, DisplayCommands& commands)
    : QDBusAbstractAdaptor(parent), commands_(commands) {}

DisplayRecords DisplaysAdaptor::List() {
  DisplayRecords records;
  for (const DisplayStatus& status : commands_.list()) {
    QVariantMap record;
    record.insert(QStringLiteral("number"), static_cast<uint>(status.number));
    record.insert(QStringLiteral("name"), fromUtf8(status.name));
    record.insert(QStringLiteral("productId"), static_cast<qlonglong>(status.productID));
    if (status.serialNumber) record.insert(QStringLiteral("serialNumber"), fromUtf8(*status.serialNumber));
    if (status.brightness) record.insert(QStringLiteral("brightness"), static_cast<double>(*status.brightness));
    if (status.readFailure != DisplayFailure::none) {
      record.insert(QStringLiteral("readFailure"), failureName(status.readFailure));
    }
    records.append(record);
  }
  return records;
}

QString DisplaysAdaptor::SetBrightness(uint number, double value) {
  // The model clamps; a NaN from the bus must not reach it as a level.
  if (std::isnan(value)) return failureName(DisplayFailure::refused);
  return failureName(commands_.setBrightness(number, static_cast<float>(value)));
}

EDIDFieldMap DisplaysAdaptor::Info(uint number) {
  EDIDFieldMap fields;
  const auto details = commands_.info(number);
  if (!details) return fields;
  for (const EDIDField& field : kEDIDFields) {
    fields.insert(QString::fromLatin1(field.key.data(), static_cast<qsizetype>(field.key.size())),
                  fromUtf8((*details).*field.member));
  }
  return fields;
}

void ApplicationAdaptor::Activate(const QVariantMap&) { activate_(); }

void ApplicationAdaptor::Open(const QStringList&, const QVariantMap&) { activate_(); }

// Lumaro exports no actions.
void ApplicationAdaptor::ActivateAction(const QString&, const QVariantList&, const QVariantMap&) {}

}  // namespace lumaro::dbus
