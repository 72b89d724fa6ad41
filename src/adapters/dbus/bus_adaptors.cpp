#include "adapters/dbus/bus_adaptors.hpp"

#include <QDBusMetaType>

#include "adapters/dbus/dbus_names.hpp"

namespace lumaro::dbus {

namespace {
QString fromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::optional<std::string> selectorOf(const QString& display) {
  if (display.isEmpty()) return std::nullopt;
  return display.toStdString();
}

QVariantMap toRecord(const DisplayStatus& status) {
  QVariantMap record;
  record.insert(QStringLiteral("number"), static_cast<uint>(status.number));
  record.insert(QStringLiteral("id"), fromUtf8(status.id));
  record.insert(QStringLiteral("name"), fromUtf8(status.name));
  if (status.vendorID) record.insert(QStringLiteral("vendorId"), static_cast<qlonglong>(*status.vendorID));
  record.insert(QStringLiteral("productId"), static_cast<qlonglong>(status.productID));
  if (status.serialNumber) record.insert(QStringLiteral("serialNumber"), fromUtf8(*status.serialNumber));
  if (status.brightness) record.insert(QStringLiteral("brightness"), static_cast<double>(*status.brightness));
  if (status.readFailure != DisplayFailure::none) {
    record.insert(QStringLiteral("readFailure"), failureName(status.readFailure));
  }
  return record;
}
}  // namespace

void registerBusTypes() {
  qDBusRegisterMetaType<DisplayRecords>();
  qDBusRegisterMetaType<EDIDFieldMap>();
}

DisplaysAdaptor::DisplaysAdaptor(QObject* parent, const QDBusContext& context, DisplayCommands& commands)
    : QDBusAbstractAdaptor(parent), context_(context), commands_(commands) {}

void DisplaysAdaptor::refuse(const CommandError& error) {
  context_.sendErrorReply(QString::fromLatin1(kNoSuchDisplayError), fromUtf8(error.message));
}

DisplayRecords DisplaysAdaptor::List() {
  DisplayRecords records;
  const auto answer = commands_.list();
  if (const auto* error = std::get_if<CommandError>(&answer)) {
    refuse(*error);
    return records;
  }
  for (const DisplayStatus& status : std::get<std::vector<DisplayStatus>>(answer)) records.append(toRecord(status));
  return records;
}

DisplayRecords DisplaysAdaptor::SetBrightness(const QString& display, double value) {
  // NaN fails both comparisons.
  if (!(value >= 0.0 && value <= 1.0)) {
    context_.sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("brightness %1 is not within 0.0 to 1.0").arg(value));
    return {};
  }
  return answer(display, {cli::BrightnessValue::Kind::fraction, value});
}

DisplayRecords DisplaysAdaptor::StepBrightness(const QString& display, double percent) {
  if (!(percent >= -100.0 && percent <= 100.0)) {
    context_.sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("step %1 is not within -100 to 100").arg(percent));
    return {};
  }
  return answer(display, {cli::BrightnessValue::Kind::relative, percent});
}

DisplayRecords DisplaysAdaptor::answer(const QString& display, const cli::BrightnessValue& value) {
  DisplayRecords records;
  const auto outcomes = commands_.setBrightness(selectorOf(display), value);
  if (const auto* error = std::get_if<CommandError>(&outcomes)) {
    refuse(*error);
    return records;
  }
  for (const WriteOutcome& outcome : std::get<std::vector<WriteOutcome>>(outcomes)) {
    QVariantMap record = toRecord(outcome.display);
    record.insert(QStringLiteral("failure"), failureName(outcome.failure));
    if (outcome.failedRead) record.insert(QStringLiteral("failedRead"), true);
    records.append(record);
  }
  return records;
}

QVariantMap DisplaysAdaptor::Info(const QString& display) {
  if (display.isEmpty()) {
    context_.sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("Info needs one display"));
    return {};
  }
  const auto answer = commands_.info(display.toStdString());
  if (const auto* error = std::get_if<CommandError>(&answer)) {
    refuse(*error);
    return {};
  }
  const DisplayInfo& info = std::get<DisplayInfo>(answer);
  QVariantMap record = toRecord(info.display);
  if (info.details) {
    EDIDFieldMap edid;
    for (const EDIDField& field : kEDIDFields) {
      edid.insert(QString::fromLatin1(field.key.data(), static_cast<qsizetype>(field.key.size())),
                  fromUtf8((*info.details).*field.member));
    }
    record.insert(QStringLiteral("edid"), QVariant::fromValue(edid));
  }
  return record;
}

void ApplicationAdaptor::Activate(const QVariantMap&) { activate_(); }

void ApplicationAdaptor::Open(const QStringList&, const QVariantMap&) { activate_(); }

// Lumaro exports no actions.
void ApplicationAdaptor::ActivateAction(const QString&, const QVariantList&, const QVariantMap&) {}

}  // namespace lumaro::dbus
