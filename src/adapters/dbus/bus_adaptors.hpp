#pragma once

#include <QDBusAbstractAdaptor>
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

class DisplaysAdaptor final : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "io.github.lumaro.Lumaro1")

 public:
  DisplaysAdaptor(QObject* parent, DisplayCommands& commands);

 public Q_SLOTS:
  // One record per display, in list order: number (u), name (s), productId (x),
  // and when known serialNumber (s), brightness (d, 0.0-1.0); readFailure (s)
  // when the brightness could not be read.
  DisplayRecords List();
  // "ok" or why the display did not take the value.
  QString SetBrightness(uint number, double value);
  // The eight EDID fields under the command line's JSON keys; empty when none were found.
  EDIDFieldMap Info(uint number);

 private:
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
