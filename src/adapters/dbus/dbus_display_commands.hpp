#pragma once

#include <QDBusConnection>
#include <QString>
#include <optional>

#include "cli/display_commands.hpp"

namespace lumaro::dbus {

// The display operations of a running instance, called over the session bus.
class DbusDisplayCommands final : public DisplayCommands {
 public:
  // Absent when no instance holds `busName` (or there is no bus).
  static std::optional<DbusDisplayCommands> connectTo(const QString& busName,
                                                      QDBusConnection connection = QDBusConnection::sessionBus());

  std::vector<DisplayStatus> list() override;
  DisplayFailure setBrightness(std::size_t number, float value) override;
  std::optional<DisplayEDIDDetails> info(std::size_t number) override;

 private:
  DbusDisplayCommands(QString busName, QDBusConnection connection);
  QDBusMessage call(const QString& method, const QVariantList& arguments) const;

  QString busName_;
  QDBusConnection connection_;
};

}  // namespace lumaro::dbus
