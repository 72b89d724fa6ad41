#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusContext>
#include <QList>
#include <QStringList>
#include <QVariantMap>
#include <functional>

#include "cli/display_commands.hpp"

// The two interfaces the running instance exports. Both are plain
// translations: the operations and their rules live behind DisplayCommands.
namespace lumaro::dbus {

using DisplayRecords = QList<QVariantMap>;    // aa{sv}
using EDIDFieldMap = QMap<QString, QString>;  // a{ss}

// Makes the two types above known to QtDBus; call before exporting or calling.
void registerBusTypes();

// Every method names its display as the user did: a number from List, an id,
// or a serial number; an empty string means every display. The instance
// resolves it against its rows when the call arrives. An unknown display is
// answered with the error kNoSuchDisplayError naming it, a value out of range
// with org.freedesktop.DBus.Error.InvalidArgs; then nothing is written.
class DisplaysAdaptor final : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "io.github.lumaro.Lumaro2")

 public:
  // QtDBus hands the call's context to the adaptor's parent: `context` is
  // that same object.
  DisplaysAdaptor(QObject* parent, const QDBusContext& context, DisplayCommands& commands);

 public Q_SLOTS:
  // One record per display, in list order: number (u), id (s), name (s),
  // productId (x), and when known serialNumber (s), brightness (d, 0.0-1.0);
  // readFailure (s) when the brightness could not be read.
  DisplayRecords List();
  // Writes `value` (0.0-1.0). One record per display named: the List keys
  // with the brightness written, and failure (s): "ok" or why the display
  // did not take it; failedRead (b) when a relative change found no level to
  // start from.
  DisplayRecords SetBrightness(const QString& display, double value);
  // Moves the shown percentage by `percent` points (-100 to 100), stopping
  // at 0 % and 100 %; answers as SetBrightness.
  DisplayRecords StepBrightness(const QString& display, double percent);
  // The display's List record, with edid (a{ss}): the eight EDID fields
  // under the command line's JSON keys, when they were found.
  QVariantMap Info(const QString& display);

 private:
  DisplayRecords answer(const QString& display, const cli::BrightnessValue& value);
  // Sends the error reply for `error`; the slot's own return value is dropped.
  void refuse(const CommandError& error);

  const QDBusContext& context_;
  DisplayCommands& commands_;
};

class ApplicationAdaptor final : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")

 public:
  // `activate` shows the window.
  ApplicationAdaptor(QObject* parent, std::function<void()> activate)
      : QDBusAbstractAdaptor(parent), activate_(std::move(activate)) {}

 public Q_SLOTS:
  void Activate(const QVariantMap& platformData);
  void Open(const QStringList& uris, const QVariantMap& platformData);
  void ActivateAction(const QString& name, const QVariantList& parameter, const QVariantMap& platformData);

 private:
  std::function<void()> activate_;
};

}  // namespace lumaro::dbus
