#pragma once

#include <QProcess>
#include <QString>

namespace lumaro::testing {

// A dbus-daemon of our own, so tests neither see nor disturb the user's session.
class PrivateBus {
 public:
  PrivateBus() {
    daemon_.start(QStringLiteral("dbus-daemon"), {"--session", "--nofork", "--print-address=1"});
    if (daemon_.waitForStarted(5000) && daemon_.waitForReadyRead(5000)) {
      address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    }
  }
  ~PrivateBus() {
    daemon_.kill();
    daemon_.waitForFinished();
  }
  PrivateBus(const PrivateBus&) = delete;
  PrivateBus& operator=(const PrivateBus&) = delete;
  const QString& address() const { return address_; }

 private:
  QProcess daemon_;
  QString address_;
};

}  // namespace lumaro::testing
